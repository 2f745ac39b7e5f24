#pragma once

#include "game/Settlement.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QCheckBox;
class QLabel;
class QPushButton;

namespace brisvale {

class PayTableNumbers;
class SpinEdit;
struct PayTableStats;
namespace platform {
class DesignScaler;
}

// The payouts and sounds dialog: per winning hand rank, the multiplier,
// whether a picture is shown, and the sound played. It edits the game's
// tables in place; OK applies the payouts and picture flags, Cancel and the
// close box leave them alone. A chosen sound is recorded at once.
class Tsetpay : public QDialog {
    Q_OBJECT
public:
    using PictureFlags = std::array<bool, kHandRankCount>;
    // Entry k (1..9) of the sound table; "Error" when none is chosen.
    using SoundEntry = std::function<QString(int k)>;
    // Records a sound chosen for rank k (the table and the settings store).
    using SoundChosen = std::function<void(int k, const QString &path)>;

    Tsetpay(PayoutTable &payouts, PictureFlags &pictureFlags, QWidget *parent = nullptr);

    void setSoundTable(SoundEntry entry, SoundChosen chosen);

    std::array<SpinEdit *, 9> SpinEdits{};
    std::array<QCheckBox *, 9> CheckBoxes{};
    std::array<QPushButton *, 9> Buttons{};
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    // The long-run return of the table being edited, under best play.
    QLabel *ReturnLabel = nullptr;
    // Its variance and hit frequency, and the button to the numbers behind it.
    QLabel *StatsLabel = nullptr;
    QPushButton *NumbersBtn = nullptr;
    // Opened by NumbersBtn; null until then.
    PayTableNumbers *Numbers = nullptr;
    void NumbersBtnClick();

    void FormCreate();
    void FormActivate();
    void Button1Click(QPushButton *sender);
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    // The multipliers as typed so far, each brought into its row's range.
    PayoutTable editedPayouts() const;
    // Works out the return of the edited table away from this thread; a
    // newer table stops the one still being worked on.
    void updateReturn();
    // The same for the numbers behind the table.
    void updateStats(const PayoutTable &table);

    PayoutTable &payouts_;
    PictureFlags &pictureFlags_;
    SoundEntry soundEntry_;
    SoundChosen soundChosen_;
    QString openFileName_; // what the sound dialog was last left with
    platform::DesignScaler *scaler_ = nullptr;
    std::shared_ptr<std::stop_source> returnJob_;
    // The table last sent to be worked out (its answer shown or on its way).
    std::optional<PayoutTable> returnAskedFor_;
    std::shared_ptr<std::stop_source> statsJob_;
    PayoutTable statsTable_;
    std::shared_ptr<const PayTableStats> stats_; // of statsTable_, once worked out
};

} // namespace brisvale
