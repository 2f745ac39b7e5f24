#pragma once

#include <memory>

namespace brisvale {

class TForm1;
class Tsetpay;
class TPicture;

// The program's name, title and help file, set before any window exists.
void setUpApplication();

// The three windows that live for the whole run, made in start-up order: the
// table, the payouts dialog (which reads the table's picture flags), the
// picture window.
class ProgramWindows {
public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

    TForm1 &form() { return *form_; }
    Tsetpay &payouts() { return *payouts_; }
    TPicture &picture() { return *picture_; }

    // Shows the table maximized.
    void show();

private:
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<Tsetpay> payouts_;
    std::unique_ptr<TPicture> picture_;
};

} // namespace brisvale
