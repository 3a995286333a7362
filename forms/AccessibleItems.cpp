#include "forms/AccessibleItems.h"

#include <utility>

#include <QAccessible>
#include <QApplication>
#include <QPointer>

#include "forms/BitmapFont.h"

namespace forms::detail {

QString text(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str()).replace(QLatin1String("\r\n"), QLatin1String(" ")).simplified();
}

QString lines(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void tell(QAccessibleEvent&& event) { QAccessible::updateAccessibility(&event); }

Exposure* exposureOf(const QWidget* w) {
    return w ? w->findChild<Exposure*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

Exposure& exposureFor(Container& c) {
    if (Exposure* e = exposureOf(&c)) return *e;
    return *new Exposure(&c);
}

namespace {

// One element of a container that is not a window of its own: a label, a part of one, or a
// button made of two pictures.
class ItemAccessible final : public QAccessibleInterface,
                             public QAccessibleActionInterface,
                             public QAccessibleTextInterface {
public:
    ItemAccessible(Exposure* exposure, std::size_t k) : exposure_(exposure), container_(exposure->owner()), k_(k) {}

    bool isValid() const override { return !container_.isNull() && !exposure_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return container_ ? container_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(container_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const Item& it = item();
        switch (it.kind) {
        case Item::Kind::Label:
        case Item::Kind::ReadOut: {
            QString caption = detail::text(it.label->Caption());
            if (t == QAccessible::Name)
                return it.name.empty() ? caption : detail::text(it.name) + QLatin1Char(' ') + caption;
            if (t == QAccessible::Value && !it.name.empty()) return caption;
            return {};
        }
        case Item::Kind::Choice: return t == QAccessible::Name ? detail::text(it.label->Caption()) : QString();
        case Item::Kind::Art: return t == QAccessible::Name ? detail::text(it.part.name) : QString();
        case Item::Kind::Text: return t == QAccessible::Name ? detail::text(it.part.text) : QString();
        case Item::Kind::Button: return t == QAccessible::Name ? detail::text(it.name) : QString();
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        const Item& it = item();
        QRect r;
        if (it.kind == Item::Kind::Button) {
            r = it.front->pixelRect();
        } else {
            r = it.label->pixelRect();
            if (it.kind == Item::Kind::Art || it.kind == Item::Kind::Text) {
                const QRect& c = it.part.cells;
                r = QRect(r.x() + c.x() * kGlyphWidth, r.y() + c.y() * kGlyphHeight, c.width() * kGlyphWidth,
                    c.height() * kGlyphHeight);
            }
        }
        const int b = container_->borderPixels();
        r.translate(b, b);
        return QRect(container_->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override {
        if (!isValid()) return QAccessible::NoRole;
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
        if (t == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        if (t == QAccessible::TextInterface && isValid() && item().kind != Item::Kind::Art &&
            item().kind != Item::Kind::Button)
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return pressable() ? QStringList{pressAction()} : QStringList{}; }
    void doAction(const QString& name) override {
        if (name != pressAction() || !pressable() || blockedByModalBox(*container_)) return;
        const Item& it = item();
        // The handler may unload the window, and these items with it.
        const std::function<void()> press = it.kind == Item::Kind::Button ? it.press : it.label->onClick;
        press();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // Read-only text without a caret or a selection.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
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
        if (!isValid()) return false;
        const Item& it = item();
        if (it.kind == Item::Kind::Button) return static_cast<bool>(it.press);
        return (it.kind == Item::Kind::Label || it.kind == Item::Kind::Choice) && it.label->onClick;
    }
    QString readable() const {
        if (!isValid()) return {};
        const Item& it = item();
        return it.kind == Item::Kind::Text ? lines(it.part.text) : lines(it.label->Caption());
    }

    QPointer<Exposure> exposure_;
    QPointer<Container> container_;
    std::size_t k_;
};

} // namespace

QAccessibleInterface* Exposure::interfaceOf(std::size_t k) {
    if (!ids_[k]) ids_[k] = QAccessible::registerAccessibleInterface(new ItemAccessible(this, k));
    return QAccessible::accessibleInterface(ids_[k]);
}

} // namespace forms::detail
