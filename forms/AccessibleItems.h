// The elements of a container that assistive technology sees beyond its child windows, kept by
// the container they belong to.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QObject>
#include <QString>

#include "forms/Accessibility.h"

namespace forms::detail {

// One element a container shows beyond its child windows.
struct Item {
    enum class Kind { Label, ReadOut, Choice, Art, Text, Button };
    Kind kind = Kind::Label;
    std::string name; // a button's name; a label's legend
    Label* label = nullptr;
    Label* mark = nullptr; // shown while a choice is the chosen one
    LabelPart part;
    Picture* front = nullptr;
    Picture* twin = nullptr;
    std::function<void()> press;
    // What a listener last heard of: a read-out's caption, a choice's being chosen.
    std::string heardCaption;
    bool heardChosen = false;
};

// A caption as one line of words, and with its line breaks as line feeds.
QString text(const std::string& s);
QString lines(const std::string& s);
void tell(QAccessibleEvent&& event);

// What a container shows beyond its child windows; a child object of the container, so it
// lives exactly as long as the controls it points at.
class Exposure final : public QObject {
    Q_OBJECT
public:
    explicit Exposure(Container* owner) : QObject(owner), owner_(owner) {}
    ~Exposure() override {
        for (QAccessible::Id id : ids_)
            if (id) QAccessible::deleteAccessibleInterface(id);
    }

    Container* owner() const { return owner_; }
    std::vector<Item> items;

    std::size_t add(Item item) {
        items.push_back(std::move(item));
        ids_.push_back(0);
        return items.size() - 1;
    }
    QAccessibleInterface* interfaceOf(std::size_t k);

    void captionChanged(std::size_t k) {
        Item& item = items[k];
        if (item.label->Caption() == item.heardCaption) return;
        const QString before = lines(item.heardCaption);
        item.heardCaption = item.label->Caption();
        if (!QAccessible::isActive()) return;
        QAccessibleInterface* iface = interfaceOf(k);
        tell(QAccessibleEvent(iface, QAccessible::NameChanged));
        tell(QAccessibleTextUpdateEvent(iface, 0, before, lines(item.heardCaption)));
    }
    void markChanged(std::size_t k) {
        Item& item = items[k];
        if (item.mark->Visible() == item.heardChosen) return;
        item.heardChosen = item.mark->Visible();
        if (!QAccessible::isActive()) return;
        QAccessible::State changed;
        changed.checked = true;
        tell(QAccessibleStateChangeEvent(interfaceOf(k), changed));
    }

private:
    Container* owner_;
    std::vector<QAccessible::Id> ids_;
};

Exposure* exposureOf(const QWidget* w);
Exposure& exposureFor(Container& c);

} // namespace forms::detail
