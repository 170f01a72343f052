#include "skin_looks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "skin_engine.h"

namespace {

struct TSkinColours {
  QRgb window, windowText;
  QRgb base, alternateBase, text;
  QRgb button, buttonText;
  QRgb highlight, highlightedText;
  QRgb toolTipBase, toolTipText;
  QRgb link, linkVisited;
  QRgb disabled;
};

// In the order of TSkinEngine::SkinNames().
constexpr std::array<TSkinColours, 16> kSkins = {{
    // Snow Leopard: light silver, Aqua blue selection.
    {0xE8E8E8, 0x1E1E1E, 0xFFFFFF, 0xEEF2F7, 0x1E1E1E, 0xDADADA, 0x1E1E1E, 0x3875D7, 0xFFFFFF,
     0xF7F7F7, 0x1E1E1E, 0x2A6CD6, 0x7A4FB5, 0x9A9A9A},
    // Beijing Ext: rice paper, gold buttons, lacquer red.
    {0xF3E6D0, 0x3A1A10, 0xFFF9EE, 0xF8EBD5, 0x3A1A10, 0xD9B46A, 0x4A1208, 0xB22222, 0xFFF4D6,
     0xFFF1C9, 0x4A1208, 0xB22222, 0x7A1F1F, 0xA89A88},
    // Calcium: chalk white with grey-blue.
    {0xF2F4F5, 0x2B2F33, 0xFFFFFF, 0xF0F3F5, 0x2B2F33, 0xE1E6EA, 0x2B2F33, 0x4F7FA7, 0xFFFFFF,
     0xFFFFFF, 0x2B2F33, 0x3A6E9A, 0x6A5B9A, 0xA3AAB0},
    // Cold: icy blue.
    {0xDDEBF5, 0x0F2A3D, 0xF4FAFF, 0xE6F1FA, 0x0F2A3D, 0xC6DDEE, 0x0F2A3D, 0x3D8ED0, 0xFFFFFF,
     0xEAF6FF, 0x0F2A3D, 0x1C6FB5, 0x4E5FA8, 0x8EA6B8},
    // FalloutStyle: a dark terminal in amber.
    {0x1E1C16, 0xFFB642, 0x14130F, 0x242118, 0xFFB642, 0x2C2920, 0xFFB642, 0xFFB642, 0x14130F,
     0x2C2920, 0xFFC966, 0xFFD27A, 0xD89A3A, 0x6E5A35},
    // LongHorn: slate grey with a green accent.
    {0xC9CED3, 0x1A1E22, 0xF7F8F9, 0xE6E9EC, 0x1A1E22, 0xB3BAC1, 0x1A1E22, 0x4E9A3A, 0xFFFFFF,
     0xF2F4F5, 0x1A1E22, 0x2F7D25, 0x5E6B2F, 0x8A9096},
    // MacMetal: brushed metal.
    {0xB8B8B8, 0x101010, 0xF2F2F2, 0xE2E2E2, 0x101010, 0xC8C8C8, 0x101010, 0x5A7FA8, 0xFFFFFF,
     0xFFFFE0, 0x101010, 0x24508A, 0x5B3F8A, 0x7C7C7C},
    // MacOS2: platinum grey with a lavender selection.
    {0xDDDDDD, 0x000000, 0xFFFFFF, 0xEEEEEE, 0x000000, 0xCCCCCC, 0x000000, 0xCCCCFF, 0x000000,
     0xFFFFCC, 0x000000, 0x0000CC, 0x551A8B, 0x888888},
    // Neutral3: warm neutral greys.
    {0xD8D4CC, 0x2E2B26, 0xFBFAF7, 0xEDEAE4, 0x2E2B26, 0xCBC6BC, 0x2E2B26, 0x8C8376, 0xFFFFFF,
     0xF4F1EA, 0x2E2B26, 0x5E5A8C, 0x7A5E8C, 0x9C978E},
    // Office2007 Black: dark greys, golden selection.
    {0x353535, 0xF0F0F0, 0x262626, 0x2F2F2F, 0xF0F0F0, 0x4A4A4A, 0xF0F0F0, 0xF4B63F, 0x1A1A1A,
     0x4A4A4A, 0xF0F0F0, 0x8FC3FF, 0xC8A2FF, 0x7A7A7A},
    // Office2007 Blue: pale blue, navy text, amber selection.
    {0xC9DCF3, 0x15428B, 0xFFFFFF, 0xEAF2FB, 0x1E395B, 0xD7E6F9, 0x15428B, 0xF9C55B, 0x1E395B,
     0xF4F8FD, 0x1E395B, 0x15428B, 0x5A3E96, 0x8DA2BD},
    // Pulsar: deep space navy, cyan glow.
    {0x1B2233, 0xD6E4FF, 0x111727, 0x1A2236, 0xD6E4FF, 0x27314A, 0xD6E4FF, 0x37C8E6, 0x0B1020,
     0x27314A, 0xD6E4FF, 0x6FD8F0, 0xB39DF0, 0x5A6682},
    // Vista: light Aero glass, pale blue selection.
    {0xF0F0F0, 0x000000, 0xFFFFFF, 0xF5F9FD, 0x000000, 0xE5EEF8, 0x000000, 0xCCE8FF, 0x000000,
     0xFFFFFF, 0x575757, 0x0066CC, 0x800080, 0xA0A0A0},
    // WLM: sky blue with fresh green.
    {0xE6F0F7, 0x1F3A4D, 0xFFFFFF, 0xEEF6EC, 0x1F3A4D, 0xCFE3F2, 0x1F3A4D, 0x4E8F26, 0xFFFFFF,
     0xF5FAFD, 0x1F3A4D, 0x1B6FAE, 0x4F7F2A, 0x93A7B5},
    // Wood: warm browns and cream.
    {0x8A5A2E, 0xFFF3DC, 0xF5E6C8, 0xEBD7B0, 0x3B2414, 0x7A4E26, 0xFFF3DC, 0x5C3A1A, 0xFFE9B8,
     0xF5E6C8, 0x3B2414, 0x7A3E10, 0x5E2E0E, 0xC7A57E},
    // XPLuna: the XP beige, olive buttons, Luna blue selection.
    {0xECE9D8, 0x000000, 0xFFFFFF, 0xF3F1E6, 0x000000, 0xD9DEB8, 0x000000, 0x316AC5, 0xFFFFFF,
     0xFFFFE1, 0x000000, 0x0000FF, 0x6B7A2A, 0xACA899},
}};

const TSkinColours& ColoursOf(const std::string& name) {
  return kSkins[static_cast<size_t>(std::max(TSkinEngine::SkinIndexOf(name), 0))];
}

double Luminance(const QColor& colour) {
  const auto linear = [](double channel) {
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
         0.0722 * linear(colour.blueF());
}

// The colour, darkened or lightened (away from the backgrounds) in small
// steps until it stands out from each of them by at least `minimum`.
QColor Legible(const QColor& colour, std::initializer_list<QColor> backgrounds, double minimum) {
  double light = 0;
  for (const QColor& background : backgrounds) light += Luminance(background);
  const QColor target =
      light / static_cast<double>(backgrounds.size()) > 0.18 ? Qt::black : Qt::white;
  const auto legible = [&](const QColor& c) {
    for (const QColor& background : backgrounds)
      if (ContrastRatio(c, background) < minimum) return false;
    return true;
  };
  QColor result = colour;
  for (int step = 1; step <= 20 && !legible(result); ++step) {
    const double t = step / 20.0;
    result = QColor::fromRgbF(colour.redF() + (target.redF() - colour.redF()) * t,
                              colour.greenF() + (target.greenF() - colour.greenF()) * t,
                              colour.blueF() + (target.blueF() - colour.blueF()) * t);
  }
  return result;
}

// Every text colour made legible on what it is drawn on.
void MakeLegible(QPalette& palette) {
  // 4.5:1 and 3:1, with a little to spare for the rounding of colours and
  // the smoothing of glyph edges.
  constexpr double kText = 4.6;
  constexpr double kDisabled = 3.1;
  using P = QPalette;
  for (P::ColorGroup group : {P::Active, P::Inactive, P::Disabled}) {
    const bool disabled = group == P::Disabled;
    const double text = disabled ? kDisabled : kText;
    const auto fix = [&](P::ColorRole role, std::initializer_list<QColor> backgrounds,
                         double minimum) {
      palette.setColor(group, role, Legible(palette.color(group, role), backgrounds, minimum));
    };
    const QColor window = palette.color(group, P::Window);
    const QColor base = palette.color(group, P::Base);
    const QColor button = palette.color(group, P::Button);
    if (disabled) {
      // One grey for all disabled text, on every surface it is drawn on.
      fix(P::WindowText, {window, button, base}, text);
      fix(P::Text, {window, button, base}, text);
      fix(P::ButtonText, {window, button, base}, text);
    } else {
      fix(P::WindowText, {window}, text);
      fix(P::Text, {base}, text);
      fix(P::ButtonText, {button}, text);
    }
    fix(P::HighlightedText, {palette.color(group, P::Highlight)}, text);
    fix(P::ToolTipText, {palette.color(group, P::ToolTipBase)}, kText);
    // Links stand in labels, on the window.
    fix(P::Link, {window}, text);
    fix(P::LinkVisited, {window}, text);
  }
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor EdgeColour(const QPalette& palette) {
  return Legible(palette.color(QPalette::Window).darker(140),
                 {palette.color(QPalette::Window), palette.color(QPalette::Base)}, 3.1);
}

QPalette SkinPalette(const std::string& name) {
  const TSkinColours& c = ColoursOf(name);
  // Light, midlight, mid, dark and shadow follow from the button colour.
  QPalette palette{QColor(c.button), QColor(c.window)};
  auto setBoth = [&](QPalette::ColorRole role, const QColor& colour) {
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
  };
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Window, QColor(c.window));
    palette.setColor(group, QPalette::Button, QColor(c.button));
    palette.setColor(group, QPalette::AlternateBase, QColor(c.alternateBase));
    palette.setColor(group, QPalette::ToolTipBase, QColor(c.toolTipBase));
    palette.setColor(group, QPalette::ToolTipText, QColor(c.toolTipText));
    palette.setColor(group, QPalette::Link, QColor(c.link));
    palette.setColor(group, QPalette::LinkVisited, QColor(c.linkVisited));
  }
  setBoth(QPalette::WindowText, QColor(c.windowText));
  setBoth(QPalette::Base, QColor(c.base));
  setBoth(QPalette::Text, QColor(c.text));
  setBoth(QPalette::ButtonText, QColor(c.buttonText));
  setBoth(QPalette::Highlight, QColor(c.highlight));
  setBoth(QPalette::HighlightedText, QColor(c.highlightedText));
  QColor placeholder(c.text);
  placeholder.setAlpha(128);
  setBoth(QPalette::PlaceholderText, placeholder);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(c.disabled));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(c.disabled));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(c.disabled));
  palette.setColor(QPalette::Disabled, QPalette::Base, QColor(c.window));
  palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(c.disabled));
  palette.setColor(QPalette::Disabled, QPalette::HighlightedText, QColor(c.base));
  palette.setColor(QPalette::Disabled, QPalette::PlaceholderText, QColor(c.disabled));
  MakeLegible(palette);
  return palette;
}
