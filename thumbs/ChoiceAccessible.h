#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace brisvale {

// What assistive technology is told about a list that picks one of several
// (the drive, the file type): a combo box whose text is the choice shown.
// The desktop's screen reader finds no choice in Qt's own combo box, so it
// said "Drive combo box" and nothing of the "/" shown, and nothing when the
// arrows changed it. It reads a text, and speaks a selected text that changes.
class ChoiceAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ChoiceAccessible(QComboBox *box);

    // Makes Qt ask this class for the box, and tells each change of its
    // choice as a change of its text; call once for each box.
    static void serve(QComboBox *box);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // The text: the choice shown, read only and selected as a whole, as in
    // an edit box that offers it; the reader speaks a new choice because it
    // is selected.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override { return 1; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    QString choice() const;
};

} // namespace brisvale
