#pragma once

#include <QColor>

// The colours of the card faces; the 16-colour images are reduced to exactly
// these, so every colour the designs use comes from here.
namespace brisvale::cardart::ink {

inline const QColor Black(0, 0, 0);
inline const QColor White(255, 255, 255);
inline const QColor Gray(128, 128, 128);
inline const QColor Silver(192, 192, 192);
inline const QColor Red(208, 16, 24);
inline const QColor DarkRed(128, 0, 0);
inline const QColor Pink(240, 160, 160);
inline const QColor Gold(244, 196, 40);
inline const QColor Ochre(168, 112, 0);
inline const QColor Flesh(252, 212, 168);
inline const QColor Blue(32, 72, 184);
inline const QColor LightBlue(144, 176, 232);
inline const QColor Navy(16, 24, 88);
inline const QColor Brown(120, 64, 24);
inline const QColor Green(24, 128, 56);
inline const QColor Cream(252, 240, 200);

} // namespace brisvale::cardart::ink
