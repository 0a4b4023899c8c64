#pragma once

#include <QString>
#include <QStringList>

namespace iomira {

// The maker's web site; product pages lie under it by language.
inline constexpr const char* kProductSiteBase = "https://www.tevron.example/";

// Models of the Product Information menu, in menu order, with their command ids.
struct ProductPage {
    int command;
    const char* model;
};
const ProductPage* productPages(int& count);

// The page of a model for the first preferred UI language ("ko…", "zh…"; else English).
QString productPageUrl(const QString& model, const QStringList& uiLanguages);

} // namespace iomira
