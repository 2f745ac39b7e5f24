#pragma once

#include <QObject>
#include <QString>

namespace brisvale {

// Settings of the thumbnail previewer and the call that opens it: each
// Execute makes a fresh window, runs it modally and frees it again.
class TThumbDialog : public QObject {
    Q_OBJECT
public:
    explicit TThumbDialog(QObject *parent = nullptr);

    QString InitialDir;
    bool AutoLoad = false;
    QString Title = QStringLiteral("Image Preview");
    QString DataFileName = QStringLiteral("thumbs.dat");
    QString DataFileDir;
    QString PreviewsDir;

    // The window's current file when it last closed.
    QString FileName() const { return fileName_; }

    // True exactly when the window closed with OK.
    bool Execute();

private:
    QString fileName_;
};

} // namespace brisvale
