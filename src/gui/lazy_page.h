#pragma once

#include "core/app/language.h"

#include <QWidget>
#include <optional>

// A page of the main window. It gives its own controls their captions from
// the language texts and the timers' scheme colour, and its controls may be
// made after the page itself: at once for a page made alone, after the
// window's first frame for a page that is not on show at start-up (the window
// builds it sooner when it is shown). Texts and a scheme given before the
// controls exist are theirs as they are made, so a page built late looks as
// it would have looked built at once.
class LazyPage : public QWidget
{
    Q_OBJECT
public:
    enum class Build
    {
        Now,
        Later
    };

    // Makes the controls; once. Controls made while the page is on show are
    // shown with it.
    void build();
    bool isBuilt() const { return m_built; }
    // The captions of the language texts.
    void retranslate(const LanguageTable &texts);
    // The scheme's colour (Colors::schemeNumbers) for the page's numbers.
    void applyScheme(quint32 colour);

protected:
    using QWidget::QWidget;
    // The page's controls, named, placed, captioned and connected.
    virtual void buildControls() = 0;
    virtual void retranslateControls(const LanguageTable &texts) = 0;
    // Pages without numbers in the scheme's colour leave this out.
    virtual void recolourControls(quint32 colour) { Q_UNUSED(colour); }

private:
    bool m_built = false;
    std::optional<LanguageTable> m_texts;
    std::optional<quint32> m_scheme;
};
