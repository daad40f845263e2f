// The game's pictures, drawn by code: the winners' podium, the button glyphs,
// the settings dialog's icon and animation, the application icon and the
// figures of the help file. The generator writes them beside the program;
// tests draw them in memory.
#pragma once

#include "hexmap/HexGeometry.h"

#include <QImage>
#include <QRgb>
#include <QString>
#include <QStringList>

// Podium: one picture per outcome (0 draw, 1 Blue won, 2 Red won), all three
// side by side in the file; the outcome written in Czech, or in English for
// the English interface ("podium_en.png").
constexpr int PodiumWidth = 320;
constexpr int PodiumHeight = 200;
constexpr int PodiumOutcomes = 3;
QImage DrawPodiumPicture(int outcome, bool english = false);
QImage DrawPodiumStrip(bool english = false);

// Two-state glyphs: the normal picture and its grey rendition side by side,
// 16 x 16 each. The bottom-left pixel of each cell is the transparent key.
// The same drawing at scale 2 ("@2x" files) serves screens of twice the
// pixel density.
constexpr int GlyphSize = 16;
constexpr QRgb GlyphKeyColor = 0xFF808000;      // olive
constexpr QRgb AboutGlyphKeyColor = 0xFF800080; // purple

enum class TGlyphDesign { gdHelp, gdSetup, gdQuit, gdOk, gdCancel };
QImage DrawButtonGlyph(TGlyphDesign design, int scale = 1);
// A red tick and a grey tick on purple, for the about box's button.
QImage DrawAboutGlyph();

// Settings dialog: a yellow cross on a dark disc (32 x 32, transparent around
// the disc) and a magnifying glass circling over a little board.
constexpr int SetupIconSize = 32;
constexpr int SetupAnimationFrames = 8;
constexpr int SetupAnimationFrameSize = 48;
QImage DrawSetupIcon();
QImage DrawSetupAnimationFrame(int frame);
QImage DrawSetupAnimation();

// Application icon: a ring of red and blue cells around an empty one, the same
// design as a bitmap at any size and as scalable vector text.
QImage DrawAppIcon(int size);
QString AppIconSvg();

// Help figures, drawn with the board's own geometry and raised cells.
constexpr int HelpRadius = 20;
// The board of the moves figure and the piece at its centre.
constexpr TPoint HelpMovesBoard{7, 7};
constexpr TPoint HelpMovesPiece{4, 4};
constexpr QRgb HelpCopyMark = 0xFF90E070;   // cells at distance 1
constexpr QRgb HelpJumpMark = 0xFFF0D860;   // cells at distance 2
QImage DrawHelpBoard();
QImage DrawHelpMoves();
QImage DrawHelpCapture();

// Every file the generator writes, in the order it writes them.
QStringList PictureFileNames();

// Draws every picture into the folder, creating it when needed. On failure
// returns false and names the file that could not be written.
bool WritePictures(const QString& folder, QString* error);
