#include "ui/trend/trend_chooser.h"

#include "core/controller_table.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/trend_channels.h"

#include <QHeaderView>

namespace iomira {

namespace {

constexpr int kChannelRole = Qt::UserRole;

// A channel packed into one number for the item's data: id, kind and index.
qint64 packed(const TrendChannel& ch) {
    return (static_cast<qint64>(ch.deviceId) << 16) | (static_cast<int>(ch.kind) << 8) | ch.index;
}

TrendChannel unpacked(qint64 v) {
    return {static_cast<int>(v >> 16), static_cast<TrendKind>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF)};
}

} // namespace

TrendChooser::TrendChooser(QWidget* parent) : QTreeWidget(parent) {
    setHeaderLabel(loadString(TEXT_TREND_CHANNELS));
    connect(this, &QTreeWidget::itemChanged, this, &TrendChooser::itemToggled);
}

void TrendChooser::fill(const ControllerTable& table,
                        const std::function<bool(const TrendChannel&)>& chosen) {
    filling_ = true;
    clear();
    table.forEach([&](const CQUORVISData& c) {
        const std::vector<TrendChannel> channels = trendChannelsOf(c);
        if (channels.empty()) return;
        auto* top = new QTreeWidgetItem(this, {c.DeviceComment});
        bool open = false;
        for (const TrendChannel& ch : channels) {
            auto* item = new QTreeWidgetItem(top, {trendChannelName(c, ch)});
            item->setData(0, kChannelRole, packed(ch));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            const bool on = chosen(ch);
            item->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
            open = open || on;
        }
        top->setExpanded(open);
    });
    filling_ = false;
}

QTreeWidgetItem* TrendChooser::itemOf(const TrendChannel& channel) const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        for (int j = 0; j < top->childCount(); ++j)
            if (top->child(j)->data(0, kChannelRole).toLongLong() == packed(channel))
                return top->child(j);
    }
    return nullptr;
}

void TrendChooser::setChecked(const TrendChannel& channel, bool checked) {
    QTreeWidgetItem* item = itemOf(channel);
    if (!item) return;
    filling_ = true;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    if (checked && item->parent()) item->parent()->setExpanded(true);
    filling_ = false;
}

void TrendChooser::itemToggled(QTreeWidgetItem* item) {
    const QVariant data = item->data(0, kChannelRole);
    if (filling_ || !data.isValid()) return;
    const TrendChannel channel = unpacked(data.toLongLong());
    if (item->checkState(0) == Qt::Unchecked) {
        if (drop) drop(channel);
        return;
    }
    if (choose && !choose(channel)) setChecked(channel, false);
}

} // namespace iomira
