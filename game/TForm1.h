#pragma once

#include "controls/FixedCellGrid.h"
#include "game/PokerGame.h"
#include "game/WinSounds.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QToolButton;

namespace brisvale {

class ClickPanel;
class PieGauge;
class SpinEdit;
class TCardDeck;
class TEStatusBar;
class THoldAnalysis;
class TSleeper;
class TableAccessibility;
class TableKeys;
class TableTrainer;
class Tsetpay;
namespace platform {
class DesignScaler;
}

// The game table: bet, total, five card slots with their hold panels, the
// play buttons, results, statistics and the switches for sound and pictures.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr auto kVersion = "2.10";

    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    PokerGame &game() { return game_; }
    // The win sounds and their device (the table's invisible sound player).
    WinSounds &winSounds() { return winSounds_; }
    int pauseMs() const { return pauseMs_; }
    TableAccessibility &accessibility() { return *accessibility_; }

    // How the table opens the picture reward: shows it modally and returns
    // when it has closed. Without one, no picture is shown.
    void setPictureWindow(std::function<void()> showModal) { showPicture_ = std::move(showModal); }
    // The payouts and sounds dialog, made after the table at start-up.
    void setPayoutsDialog(Tsetpay *dialog) { payoutsDialog_ = dialog; }

    // Controls, named as on the table's design.
    SpinEdit *Bet = nullptr;
    ClickPanel *Panel5 = nullptr;
    QPushButton *Shuffle = nullptr;
    QPushButton *Second = nullptr;
    ClickPanel *Cash = nullptr;
    ClickPanel *Panel4 = nullptr;
    ClickPanel *Panel2 = nullptr;
    QToolButton *SpeedButton5 = nullptr;
    std::array<TCardDeck *, 5> CardDeck{};
    QLabel *Image1 = nullptr;
    PieGauge *Gauge1 = nullptr;
    std::array<ClickPanel *, 5> HoldPanel{}; // Panel6 .. Panel10
    FixedCellGrid *StringGrid1 = nullptr;
    QPushButton *Button2 = nullptr;
    QRadioButton *RadioButton1 = nullptr; // "Sound On"
    QRadioButton *RadioButton2 = nullptr; // "Sound Off"
    SpinEdit *SpinEdit1 = nullptr;
    QRadioButton *RadioButton3 = nullptr; // "Picture On"
    QRadioButton *RadioButton4 = nullptr; // "Picture Off"
    TEStatusBar *EStatusBar1 = nullptr;
    TSleeper *Sleeper1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    THoldAnalysis *HoldAnalysis1 = nullptr; // "Hold Analysis", opened by A
    // "Warn before a costly draw", checkable in the right-click menu.
    QAction *WarnCostlyDraw = nullptr;

    // Picture flag k: a won hand of rank k opens the picture (index 0 unused).
    std::array<bool, kHandRankCount> PictureFlags{false, true, true, true, true, true, true, true, true, true};

    // Colours chosen through the "Colors" menu; -1 while unset.
    int FormColor = -1;
    int PieColor = -1;
    int AmountColor = -1;
    int TotalColor = -1;

    // Event handlers.
    void FormCreate();
    void FormActivate();
    // A sound chosen for rank k in the payouts dialog: used and stored at once.
    void SoundChosen(int k, const QString &path);
    void ShuffleClick();
    void Panel6Click() { HoldToggle(0); }
    void Panel7Click() { HoldToggle(1); }
    void Panel8Click() { HoldToggle(2); }
    void Panel9Click() { HoldToggle(3); }
    void Panel10Click() { HoldToggle(4); }
    void SecondClick();
    // Switches the hold panel of a slot between Draw and Hold.
    void HoldToggle(int slot);
    void UpdateDisplay();
    void SpeedButton5Click();
    void N10001Click() { SetTotal(1000); }
    void N100001Click() { SetTotal(10000); }
    void N1000001Click() { SetTotal(100000); }
    void Background1Click();
    void Piechart1Click();
    void Total1Click();
    void Amount1Click();
    void AdjustPayouts1Click();
    void HelpClick();
    void Button2Click();
    void SpinEdit1Change(int value);
    void FormClose();

    // Recolours the window from the colour settings that are greater than 0
    // (0 is black and negatives are system colours: neither is applied).
    void applyColorSettings();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void buildControls(QWidget *surface);
    void buildMenus();
    void PlayWinSound(int rank);
    void SetTotal(std::int32_t total);
    void showHoldMarks();
    void showBetRange();
    void buildStatusBar();
    // The bar scales with the table, from the client area below the menu,
    // which its own height does not change.
    void scaleStatusBar();
    // Opens the colour dialog on the colour last chosen in it.
    std::optional<QColor> askColor();
    // Each recolours one element; an invalid colour means its design colour.
    void setFormBackground(const QColor &color);
    void setPieColor(const QColor &color);
    void setTotalBackground(const QColor &color);
    void setBetBackground(const QColor &color);

    PokerGame game_;
    WinSounds winSounds_;
    int pauseMs_ = 2000;
    QColor lastDialogColor_ = Qt::black;
    // Backgrounds of Panel5 and Bet; invalid while they show the button face.
    QColor totalBackground_;
    QColor betBackground_;
    platform::DesignScaler *scaler_ = nullptr;
    QWidget *surface_ = nullptr;
    std::function<void()> showPicture_;
    Tsetpay *payoutsDialog_ = nullptr;
    bool closing_ = false;
    TableTrainer *trainer_ = nullptr;
    TableKeys *keys_ = nullptr;
    std::unique_ptr<TableAccessibility> accessibility_;
    // A missing audio device is told at the first win only.
    bool noDeviceShown_ = false;
    // The first stored sound of the last reload that could not be read.
    QString soundReadError_;
    bool soundReadErrorShown_ = false;
};

} // namespace brisvale
