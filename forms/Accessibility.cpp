#include "forms/Accessibility.h"

#include <limits>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPointer>

#include "forms/BitmapFont.h"

namespace forms {

namespace {

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

QString text(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str()).replace(QLatin1String("\r\n"), QLatin1String(" "))
        .simplified();
}

QString lines(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void tell(QAccessibleEvent&& event) { QAccessible::updateAccessibility(&event); }

// What a container shows beyond its child windows; a child object of the container, so it
// lives exactly as long as the controls it points at.
class Exposure final : public QObject {
    Q_OBJECT
public:
    explicit Exposure(Container* owner) : QObject(owner), owner_(owner) {}
    ~Exposure() override {
        for (QAccessible::Id id : ids_)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
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
        if (item.label->Caption() == item.heardCaption)
            return;
        const QString before = lines(item.heardCaption);
        item.heardCaption = item.label->Caption();
        if (!QAccessible::isActive())
            return;
        QAccessibleInterface* iface = interfaceOf(k);
        tell(QAccessibleEvent(iface, QAccessible::NameChanged));
        tell(QAccessibleTextUpdateEvent(iface, 0, before, lines(item.heardCaption)));
    }
    void markChanged(std::size_t k) {
        Item& item = items[k];
        if (item.mark->Visible() == item.heardChosen)
            return;
        item.heardChosen = item.mark->Visible();
        if (!QAccessible::isActive())
            return;
        QAccessible::State changed;
        changed.checked = true;
        tell(QAccessibleStateChangeEvent(interfaceOf(k), changed));
    }

private:
    Container* owner_;
    std::vector<QAccessible::Id> ids_;
};

Exposure* exposureOf(const QWidget* w) {
    return w ? w->findChild<Exposure*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

Exposure& exposureFor(Container& c) {
    if (Exposure* e = exposureOf(&c))
        return *e;
    return *new Exposure(&c);
}

// One element of a container that is not a window of its own: a label, a part of one, or a
// button made of two pictures.
class ItemAccessible final : public QAccessibleInterface,
                             public QAccessibleActionInterface,
                             public QAccessibleTextInterface {
public:
    ItemAccessible(Exposure* exposure, std::size_t k)
        : exposure_(exposure), container_(exposure->owner()), k_(k) {}

    bool isValid() const override { return !container_.isNull() && !exposure_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return container_ ? container_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(container_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        const Item& it = item();
        switch (it.kind) {
        case Item::Kind::Label:
        case Item::Kind::ReadOut: {
            const QString caption = forms::text(it.label->Caption());
            if (t == QAccessible::Name)
                return it.name.empty() ? caption : forms::text(it.name) + QLatin1Char(' ') + caption;
            if (t == QAccessible::Value && !it.name.empty())
                return caption;
            return {};
        }
        case Item::Kind::Choice:
            return t == QAccessible::Name ? forms::text(it.label->Caption()) : QString();
        case Item::Kind::Art:
            return t == QAccessible::Name ? forms::text(it.part.name) : QString();
        case Item::Kind::Text:
            return t == QAccessible::Name ? forms::text(it.part.text) : QString();
        case Item::Kind::Button:
            return t == QAccessible::Name ? forms::text(it.name) : QString();
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        const Item& it = item();
        QRect r;
        if (it.kind == Item::Kind::Button) {
            r = it.front->pixelRect();
        } else {
            r = it.label->pixelRect();
            if (it.kind == Item::Kind::Art || it.kind == Item::Kind::Text) {
                const QRect& c = it.part.cells;
                r = QRect(r.x() + c.x() * kGlyphWidth, r.y() + c.y() * kGlyphHeight,
                          c.width() * kGlyphWidth, c.height() * kGlyphHeight);
            }
        }
        const int b = container_->borderPixels();
        r.translate(b, b);
        return QRect(container_->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override {
        if (!isValid())
            return QAccessible::NoRole;
        switch (item().kind) {
        case Item::Kind::Label: return pressable() ? QAccessible::Button : QAccessible::StaticText;
        case Item::Kind::ReadOut: return QAccessible::StaticText;
        case Item::Kind::Choice: return QAccessible::Button;
        case Item::Kind::Art: return QAccessible::Graphic;
        case Item::Kind::Text: return QAccessible::StaticText;
        case Item::Kind::Button: return QAccessible::Button;
        }
        return QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid() || !container_->isVisible()) {
            s.invisible = true;
            return s;
        }
        const Item& it = item();
        if (it.kind == Item::Kind::Button) {
            s.invisible = !it.front->Visible() && !it.twin->Visible();
        } else {
            s.invisible = !it.label->Visible();
            s.readOnly = true;
        }
        if (it.kind == Item::Kind::Choice) {
            s.checkable = true;
            s.checked = it.mark->Visible();
        }
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        if (t == QAccessible::TextInterface && isValid() && item().kind != Item::Kind::Art &&
            item().kind != Item::Kind::Button)
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        return pressable() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name != pressAction() || !pressable() || blockedByModalBox(*container_))
            return;
        const Item& it = item();
        // The handler may unload the window, and these items with it.
        const std::function<void()> press = it.kind == Item::Kind::Button ? it.press
                                                                          : it.label->onClick;
        press();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // Read-only text without a caret or a selection.
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        return readable().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(readable().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    const Item& item() const { return exposure_->items[k_]; }
    bool pressable() const {
        if (!isValid())
            return false;
        const Item& it = item();
        if (it.kind == Item::Kind::Button)
            return static_cast<bool>(it.press);
        return (it.kind == Item::Kind::Label || it.kind == Item::Kind::Choice) &&
               it.label->onClick;
    }
    QString readable() const {
        if (!isValid())
            return {};
        const Item& it = item();
        return it.kind == Item::Kind::Text ? lines(it.part.text) : lines(it.label->Caption());
    }

    QPointer<Exposure> exposure_;
    QPointer<Container> container_;
    std::size_t k_;
};

QAccessibleInterface* Exposure::interfaceOf(std::size_t k) {
    if (!ids_[k])
        ids_[k] = QAccessible::registerAccessibleInterface(new ItemAccessible(this, k));
    return QAccessible::accessibleInterface(ids_[k]);
}

// A window or picture box: its child pictures (the two of a button as one), then the labels
// it shows.
class ContainerAccessible final : public QAccessibleWidget {
public:
    explicit ContainerAccessible(Container* c) : QAccessibleWidget(c) {}

    QAccessible::Role role() const override {
        if (widget()->isWindow())
            return QAccessible::Window;
        return childCount() ? QAccessible::Pane : QAccessible::Graphic;
    }

    int childCount() const override { return static_cast<int>(entries().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto all = entries();
        if (index < 0 || static_cast<std::size_t>(index) >= all.size())
            return nullptr;
        return interfaceOf(all[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto all = entries();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (interfaceOf(all[i]) == child)
                return static_cast<int>(i);
        return -1;
    }
    // The front-most thing shown at a point: pictures lie in front of labels.
    QAccessibleInterface* childAt(int x, int y) const override {
        for (const Entry& e : entries()) {
            QAccessibleInterface* c = interfaceOf(e);
            if (c && c->isValid() && !c->state().invisible && c->rect().contains(x, y))
                return c;
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
                if (it.kind != Item::Kind::Button)
                    continue;
                if (o == it.front)
                    all.push_back({nullptr, k});
                taken = o == it.front || o == it.twin;
            }
            if (!taken)
                all.push_back({c, kWindow});
        }
        for (std::size_t k = 0; e && k < e->items.size(); ++k)
            if (e->items[k].kind != Item::Kind::Button)
                all.push_back({nullptr, k});
        return all;
    }
};

QAccessibleInterface* containerFactory(const QString&, QObject* object) {
    if (auto* c = qobject_cast<Container*>(object))
        return new ContainerAccessible(c);
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

void exposeButton(Picture& front, Picture& twin, const std::string& name,
                  std::function<void()> press) {
    Container* c = front.container();
    if (!c)
        return;
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
    if (Container* c = label.container())
        exposureFor(*c).add(labelItem(Item::Kind::Label, label, legend));
}

void exposeReadOut(Label& label, const std::string& legend) {
    Container* c = label.container();
    if (!c)
        return;
    Exposure& e = exposureFor(*c);
    Item it = labelItem(Item::Kind::ReadOut, label, legend);
    it.heardCaption = label.Caption();
    const std::size_t k = e.add(std::move(it));
    label.onChanged = [e = QPointer<Exposure>(&e), k] {
        if (e)
            e->captionChanged(k);
    };
}

void exposeChoice(Label& label, Label& mark) {
    Container* c = label.container();
    if (!c)
        return;
    Exposure& e = exposureFor(*c);
    Item it = labelItem(Item::Kind::Choice, label);
    it.mark = &mark;
    it.heardChosen = mark.Visible();
    const std::size_t k = e.add(std::move(it));
    mark.onChanged = [e = QPointer<Exposure>(&e), k] {
        if (e)
            e->markChanged(k);
    };
}

void exposeLabelParts(Label& label, std::vector<LabelPart> parts) {
    Container* c = label.container();
    if (!c)
        return;
    Exposure& e = exposureFor(*c);
    for (LabelPart& part : parts) {
        Item it = labelItem(part.name.empty() ? Item::Kind::Text : Item::Kind::Art, label);
        it.part = std::move(part);
        e.add(std::move(it));
    }
}

} // namespace forms

#include "Accessibility.moc"
