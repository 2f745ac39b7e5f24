#pragma once

class QWidget;

namespace brisvale {

class TForm1;

// Names and describes the table's controls for assistive technology, and
// keeps what it is told about the holds in step with the game: each card
// and its hold panel read as held exactly while the panel shows "Hold".
class TableAccessibility {
public:
    explicit TableAccessibility(TForm1 &form);

    // Call whenever a hold mark may have changed.
    void showHolds();

private:
    void nameByLabel(QWidget *field, const char *labelText);

    TForm1 &form_;
};

} // namespace brisvale
