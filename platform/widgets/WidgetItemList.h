#pragma once

#include "ItemList.h"

#include <QComboBox>
#include <QListWidget>

// The widgets the list fillers fill.
class ComboBoxItems : public ItemList {
public:
    explicit ComboBoxItems(QComboBox* box) : box_(box) {}
    void clear() override { box_->clear(); }
    void addItem(const QString& text) override { box_->addItem(text); }

private:
    QComboBox* box_;
};

class ListWidgetItems : public ItemList {
public:
    explicit ListWidgetItems(QListWidget* list) : list_(list) {}
    void clear() override { list_->clear(); }
    void addItem(const QString& text) override { list_->addItem(text); }

private:
    QListWidget* list_;
};
