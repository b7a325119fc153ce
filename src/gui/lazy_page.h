#pragma once

#include <QWidget>

// A page of the main window whose controls may be made after the page itself:
// at once for a page made alone, after the window's first frame for a page that
// is not on show at start-up (the window builds it sooner when it is shown or
// looked into).
class LazyPage : public QWidget
{
    Q_OBJECT
public:
    enum class Build
    {
        Now,
        Later
    };

    // Makes the controls; once.
    void build()
    {
        if (m_built)
            return;
        m_built = true;
        buildControls();
    }
    bool isBuilt() const { return m_built; }

protected:
    using QWidget::QWidget;
    // The page's controls, named, placed, captioned and connected.
    virtual void buildControls() = 0;

private:
    bool m_built = false;
};
