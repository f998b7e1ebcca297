#include "slider.h"
#include "text.h"

#include <QAccessibleWidget>
#include <QFontMetrics>

namespace {

// A control read as the text the panel shows for it, both as its text and as its value.
class ShownText : public QAccessibleWidget,
                  public QAccessibleTextInterface,
                  public QAccessibleValueInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;
    virtual QString shown() const = 0;

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }

    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    // Where the text is drawn, centred in the control: a review of the window reads a text
    // only when its characters have a place on the screen, and the control's name otherwise.
    QRect characterRect(int offset) const override {
        const QString all = shown();
        if (offset < 0 || offset >= all.size())
            return {};
        const QFontMetrics metrics(widget()->font());
        const QRect area = widget()->contentsRect();
        const int left = area.left() + (area.width() - metrics.horizontalAdvance(all)) / 2 +
                         metrics.horizontalAdvance(all.left(offset));
        const QRect glyph(left, area.top(), metrics.horizontalAdvance(all.at(offset)),
                          area.height());
        return QRect(widget()->mapToGlobal(glyph.topLeft()), glyph.size());
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

// A volume is read as a slider whose value is its step. 3D LEVEL is read as a spin button
// whose text is the word under its tick: Orca speaks a slider's value as a number and adds a
// percentage that ignores the minimum, but speaks a spin button's text as it is.
class StepSlider : public ShownText {
public:
    explicit StepSlider(TrackSlider* s) : ShownText(s, QAccessible::Slider) {}
    TrackSlider* slider() const { return static_cast<TrackSlider*>(widget()); }

    QAccessible::Role role() const override {
        return slider()->hasStepTexts() ? QAccessible::SpinBox : QAccessible::Slider;
    }

    QString shown() const override { return slider()->stepText(); }
    QVariant currentValue() const override { return slider()->step(); }
    void setCurrentValue(const QVariant& step) override {
        slider()->setValue(slider()->minimum() + step.toInt() - 1);
    }
    QVariant minimumValue() const override { return 1; }
    QVariant maximumValue() const override { return slider()->maximum() - slider()->minimum() + 1; }
    QVariant minimumStepSize() const override { return 1; }
};

class ShownBox : public ShownText {
public:
    explicit ShownBox(ReadOnlyBox* b) : ShownText(b, QAccessible::EditableText) {}

    QString shown() const override { return static_cast<QLineEdit*>(widget())->text(); }
    QAccessible::State state() const override {
        QAccessible::State s = ShownText::state();
        s.readOnly = true;
        return s;
    }
    QVariant currentValue() const override { return shown(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant minimumValue() const override { return {}; }
    QVariant maximumValue() const override { return {}; }
    QVariant minimumStepSize() const override { return {}; }
};

class Notification : public QAccessibleWidget {
public:
    explicit Notification(Notice* n) : QAccessibleWidget(n, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? static_cast<Notice*>(widget())->message()
                                      : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* panelAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TrackSlider"))
        return new StepSlider(static_cast<TrackSlider*>(object));
    if (className == QLatin1String("ReadOnlyBox"))
        return new ShownBox(static_cast<ReadOnlyBox*>(object));
    if (className == QLatin1String("Notice"))
        return new Notification(static_cast<Notice*>(object));
    return nullptr;
}

} // namespace

void readAsShown() {
    static const bool installed = [] {
        QAccessible::installFactory(panelAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}
