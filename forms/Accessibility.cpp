#include "forms/Accessibility.h"

#include <map>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace forms {

namespace {

// What a container shows beyond its child windows; a child object of the container, so it
// lives exactly as long as the controls it points at.
class Exposure final : public QObject {
    Q_OBJECT
public:
    explicit Exposure(Container* owner) : QObject(owner) {}

    struct ShownLabel {
        Label* label;
        std::string legend;
    };
    std::vector<ShownLabel> labels;
    std::function<void()> press; // set when the container itself is a button
};

Exposure* exposureOf(const QWidget* w) {
    return w ? w->findChild<Exposure*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

Exposure& exposureFor(Container& c) {
    if (Exposure* e = exposureOf(&c))
        return *e;
    return *new Exposure(&c);
}

QString text(const std::string& s) {
    return QString::fromLocal8Bit(s.c_str()).replace(QLatin1String("\r\n"), QLatin1String(" "))
        .simplified();
}

// One label, as a child of its container's interface.
class LabelAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    LabelAccessible(Container* container, Label* label, std::string legend)
        : container_(container), label_(label), legend_(std::move(legend)) {}

    bool isValid() const override { return !container_.isNull(); }
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
        const QString caption = forms::text(label_->Caption());
        switch (t) {
        case QAccessible::Name:
            return legend_.empty() ? caption : forms::text(legend_) + QLatin1Char(' ') + caption;
        case QAccessible::Value:
            return legend_.empty() ? QString() : caption;
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return {};
        const int b = container_->borderPixels();
        const QRect r = label_->pixelRect().translated(b, b);
        return QRect(container_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override {
        return pressable() ? QAccessible::Button : QAccessible::StaticText;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid() || !label_->Visible() || !container_->isVisible())
            s.invisible = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }
    QStringList actionNames() const override {
        return pressable() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && pressable())
            label_->onClick();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    bool pressable() const { return isValid() && label_->onClick; }

    QPointer<Container> container_;
    Label* label_;
    std::string legend_;
};

// A window or picture box: its child pictures, then the labels it shows.
class ContainerAccessible final : public QAccessibleWidget {
public:
    explicit ContainerAccessible(Container* c) : QAccessibleWidget(c) {}
    ~ContainerAccessible() override {
        for (const auto& [label, id] : labelIds_)
            QAccessible::deleteAccessibleInterface(id);
    }

    QAccessible::Role role() const override {
        if (widget()->isWindow())
            return QAccessible::Window;
        if (press())
            return QAccessible::Button;
        return childCount() ? QAccessible::Pane : QAccessible::Graphic;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (coveredByPictureInFront())
            s.invisible = true;
        return s;
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(shownLabels().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int pictures = QAccessibleWidget::childCount();
        if (index < pictures)
            return QAccessibleWidget::child(index);
        const auto& labels = shownLabels();
        const auto k = static_cast<std::size_t>(index - pictures);
        return k < labels.size() ? labelInterface(labels[k]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto& labels = shownLabels();
        for (std::size_t k = 0; k < labels.size(); ++k) {
            const auto it = labelIds_.find(labels[k].label);
            if (it != labelIds_.end() && QAccessible::accessibleInterface(it->second) == child)
                return QAccessibleWidget::childCount() + static_cast<int>(k);
        }
        return QAccessibleWidget::indexOfChild(child);
    }
    // The front-most thing shown at a point: pictures lie in front of labels.
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* c = child(i);
            if (c && c->isValid() && !c->state().invisible && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (press())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && press())
            press()();
        else
            QAccessibleWidget::doAction(name);
    }

private:
    const std::function<void()>& press() const {
        static const std::function<void()> none;
        const Exposure* e = exposureOf(widget());
        return e ? e->press : none;
    }
    const std::vector<Exposure::ShownLabel>& shownLabels() const {
        static const std::vector<Exposure::ShownLabel> none;
        const Exposure* e = exposureOf(widget());
        return e ? e->labels : none;
    }
    QAccessibleInterface* labelInterface(const Exposure::ShownLabel& shown) const {
        auto it = labelIds_.find(shown.label);
        if (it == labelIds_.end()) {
            auto* c = static_cast<Container*>(widget());
            const QAccessible::Id id = QAccessible::registerAccessibleInterface(
                new LabelAccessible(c, shown.label, shown.legend));
            it = labelIds_.emplace(shown.label, id).first;
        }
        return QAccessible::accessibleInterface(it->second);
    }
    // A sighted user sees the front picture, not the twin behind it.
    bool coveredByPictureInFront() const {
        const auto* self = qobject_cast<const Picture*>(widget());
        if (!self || !self->container())
            return false;
        for (const Picture* p : self->container()->pictures()) {
            if (p == self)
                return false;
            if (p->Visible() && p->pixelRect().contains(self->pixelRect()))
                return true;
        }
        return false;
    }

    mutable std::map<const Label*, QAccessible::Id> labelIds_;
};

QAccessibleInterface* containerFactory(const QString&, QObject* object) {
    if (auto* c = qobject_cast<Container*>(object))
        return new ContainerAccessible(c);
    return nullptr;
}

} // namespace

void enableAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(containerFactory);
        return true;
    }();
    (void)installed;
}

void exposeButton(Picture& picture, const std::string& name, std::function<void()> press) {
    picture.setAccessibleName(text(name));
    exposureFor(picture).press = std::move(press);
}

void exposeLabel(Label& label, const std::string& legend) {
    if (Container* c = label.container())
        exposureFor(*c).labels.push_back({&label, legend});
}

} // namespace forms

#include "Accessibility.moc"
