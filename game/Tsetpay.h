#pragma once

#include "game/Settlement.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QPushButton;

namespace brisvale {

class SpinEdit;
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

    PayoutTable &payouts_;
    PictureFlags &pictureFlags_;
    SoundEntry soundEntry_;
    SoundChosen soundChosen_;
    QString openFileName_; // what the sound dialog was last left with
    platform::DesignScaler *scaler_ = nullptr;
};

} // namespace brisvale
