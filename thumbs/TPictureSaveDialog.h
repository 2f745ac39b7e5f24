#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace brisvale {

class TSaveForm;

// Asks for the path a picture is to be saved under. Execute opens a fresh
// save window; FileName is the folder shown and the name typed, whatever the
// answer. Nothing is written by the dialog.
class TPictureSaveDialog : public QObject {
    Q_OBJECT
public:
    // The window is shown over the owner's window when the owner is one.
    explicit TPictureSaveDialog(QObject *owner = nullptr);
    ~TPictureSaveDialog() override;

    QString InitialDir() const { return initialDir_; }
    void setInitialDir(const QString &dir) { initialDir_ = dir; }
    bool AutoDisPlay() const { return autoDisplay_; }
    void setAutoDisPlay(bool on) { autoDisplay_ = on; }
    bool AutoPlay() const { return autoPlay_; }
    void setAutoPlay(bool on) { autoPlay_ = on; }
    QString Filter() const { return filter_; }
    void setFilter(const QString &filter) { filter_ = filter; }
    QString Title() const { return title_; }
    void setTitle(const QString &title) { title_ = title; }

    // True when the window closed with OK.
    bool Execute();
    QString FileName() const { return fileName_; }

    // The window while Execute runs, else nullptr.
    TSaveForm *Form() const { return form_; }

private:
    QString initialDir_;
    bool autoDisplay_ = true;
    bool autoPlay_ = false;
    QString filter_;
    QString title_ = QStringLiteral("Save File");
    QString fileName_;
    QPointer<TSaveForm> form_;
};

} // namespace brisvale
