#pragma once

#include <QString>
#include <QStringList>

// Anything a list filler can clear and append to: a combo box, a list box, or plain text in
// logic and tests. The fillers (pager titles, printers, FAX IDs) take this instead of a widget.
class ItemList {
public:
    virtual ~ItemList() = default;
    virtual void clear() = 0;
    virtual void addItem(const QString& text) = 0;
};

// Collects the items as text.
class StringItemList : public ItemList {
public:
    void clear() override { items.clear(); }
    void addItem(const QString& text) override { items.append(text); }
    QStringList items;
};
