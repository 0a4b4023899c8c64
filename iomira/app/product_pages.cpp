#include "app/product_pages.h"

#include <array>

namespace iomira {

namespace {

constexpr std::array<ProductPage, 12> kPages{{
    {32899, "TKA-31P"},
    {32901, "TKA-33P"},
    {32904, "TKA-35P"},
    {32878, "TKA-21"},
    {32886, "TKA-31"},
    {32887, "TKA-35"},
    {32888, "TKA-33"},
    {32889, "RLX-810"},
    {32890, "RLX-820"},
    {32891, "RLX-830"},
    {32892, "RLX-850"},
    {32894, "RLX-840"},
}};

QString languageFolder(const QStringList& uiLanguages) {
    const QString first = uiLanguages.isEmpty() ? QString() : uiLanguages.first();
    if (first.startsWith(QLatin1String("ko"))) return QStringLiteral("ko");
    if (first.startsWith(QLatin1String("zh"))) return QStringLiteral("ch");
    return QStringLiteral("en");
}

// The four plain models have an "a" page; the P models and the RLX family do not.
QString pageName(const QString& model) {
    static const QStringList withSuffix{QStringLiteral("TKA-21"), QStringLiteral("TKA-31"),
                                        QStringLiteral("TKA-33"), QStringLiteral("TKA-35")};
    const QString name = model.toLower();
    return withSuffix.contains(model) ? name + QLatin1Char('a') : name;
}

} // namespace

const ProductPage* productPages(int& count) {
    count = static_cast<int>(kPages.size());
    return kPages.data();
}

QString productPageUrl(const QString& model, const QStringList& uiLanguages) {
    return QString::fromLatin1(kProductSiteBase) + languageFolder(uiLanguages) +
           QStringLiteral("/products/") + pageName(model);
}

} // namespace iomira
