#pragma once

#include <QAccessibleWidget>

namespace brisvale {

class TMyCustomPanel;

// What assistive technology is told about a painted caption panel: a text
// named by the caption it shows; a status bar is named by its message while
// one is shown, so the trainer's words and sound failures can be read.
class CaptionPanelAccessible : public QAccessibleWidget {
public:
    explicit CaptionPanelAccessible(TMyCustomPanel *panel);

    // Makes Qt ask this class for every caption panel; safe to call often.
    static void install();

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;

private:
    TMyCustomPanel *panel() const;
};

} // namespace brisvale
