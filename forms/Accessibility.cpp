#include "forms/Accessibility.h"

#include <limits>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>

#include "forms/AccessibleItems.h"

namespace forms {

using namespace detail;

namespace {

// A window or picture box: its child pictures (the two of a button as one), then the labels
// it shows.
class ContainerAccessible final : public QAccessibleWidget {
public:
    explicit ContainerAccessible(Container* c) : QAccessibleWidget(c) {}

    QAccessible::Role role() const override {
        if (widget()->isWindow()) return QAccessible::Window;
        return childCount() ? QAccessible::Pane : QAccessible::Graphic;
    }

    int childCount() const override { return static_cast<int>(entries().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto all = entries();
        if (index < 0 || static_cast<std::size_t>(index) >= all.size()) return nullptr;
        return interfaceOf(all[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto all = entries();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (interfaceOf(all[i]) == child) return static_cast<int>(i);
        return -1;
    }
    // The front-most thing shown at a point: pictures lie in front of labels.
    QAccessibleInterface* childAt(int x, int y) const override {
        for (const Entry& e : entries()) {
            QAccessibleInterface* c = interfaceOf(e);
            if (c && c->isValid() && !c->state().invisible && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }

private:
    static constexpr std::size_t kWindow = std::numeric_limits<std::size_t>::max();
    struct Entry {
        QAccessibleInterface* window = nullptr;
        std::size_t item = kWindow;
    };

    QAccessibleInterface* interfaceOf(const Entry& e) const {
        return e.item == kWindow ? e.window : exposureOf(widget())->interfaceOf(e.item);
    }

    std::vector<Entry> entries() const {
        std::vector<Entry> all;
        Exposure* e = exposureOf(widget());
        const int windows = QAccessibleWidget::childCount();
        for (int i = 0; i < windows; ++i) {
            QAccessibleInterface* c = QAccessibleWidget::child(i);
            const QObject* o = c ? c->object() : nullptr;
            bool taken = false;
            for (std::size_t k = 0; e && o && k < e->items.size() && !taken; ++k) {
                const Item& it = e->items[k];
                if (it.kind != Item::Kind::Button) continue;
                if (o == it.front) all.push_back({nullptr, k});
                taken = o == it.front || o == it.twin;
            }
            if (!taken) all.push_back({c, kWindow});
        }
        for (std::size_t k = 0; e && k < e->items.size(); ++k)
            if (e->items[k].kind != Item::Kind::Button) all.push_back({nullptr, k});
        return all;
    }
};

QAccessibleInterface* containerFactory(const QString&, QObject* object) {
    if (auto* c = qobject_cast<Container*>(object)) return new ContainerAccessible(c);
    return nullptr;
}

Item labelItem(Item::Kind kind, Label& label, const std::string& name = {}) {
    Item it;
    it.kind = kind;
    it.label = &label;
    it.name = name;
    return it;
}

} // namespace

void enableAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(containerFactory);
        return true;
    }();
    (void)installed;
}

bool blockedByModalBox(const QWidget& w) {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != w.window();
}

void exposeButton(Picture& front, Picture& twin, const std::string& name, std::function<void()> press) {
    Container* c = front.container();
    if (!c) return;
    // The pictures still announce their own showing and hiding; named, they say whose.
    front.setAccessibleName(text(name));
    twin.setAccessibleName(text(name));
    Item it;
    it.kind = Item::Kind::Button;
    it.name = name;
    it.front = &front;
    it.twin = &twin;
    it.press = std::move(press);
    exposureFor(*c).add(std::move(it));
}

void exposeLabel(Label& label, const std::string& legend) {
    if (Container* c = label.container()) exposureFor(*c).add(labelItem(Item::Kind::Label, label, legend));
}

void exposeReadOut(Label& label, const std::string& legend) {
    Container* c = label.container();
    if (!c) return;
    Exposure& e = exposureFor(*c);
    Item it = labelItem(Item::Kind::ReadOut, label, legend);
    it.heardCaption = label.Caption();
    const std::size_t k = e.add(std::move(it));
    label.onChanged = [e = QPointer<Exposure>(&e), k] {
        if (e) e->captionChanged(k);
    };
}

void exposeChoice(Label& label, Label& mark) {
    Container* c = label.container();
    if (!c) return;
    Exposure& e = exposureFor(*c);
    Item it = labelItem(Item::Kind::Choice, label);
    it.mark = &mark;
    it.heardChosen = mark.Visible();
    const std::size_t k = e.add(std::move(it));
    mark.onChanged = [e = QPointer<Exposure>(&e), k] {
        if (e) e->markChanged(k);
    };
}

void exposeLabelParts(Label& label, std::vector<LabelPart> parts) {
    Container* c = label.container();
    if (!c) return;
    Exposure& e = exposureFor(*c);
    for (LabelPart& part : parts) {
        Item it = labelItem(part.name.empty() ? Item::Kind::Text : Item::Kind::Art, label);
        it.part = std::move(part);
        e.add(std::move(it));
    }
}

} // namespace forms
