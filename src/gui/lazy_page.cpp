#include "gui/lazy_page.h"

#include "gui/widgets.h"

void LazyPage::build()
{
    if (m_built)
        return;
    m_built = true;
    buildControls();
    if (m_texts)
        retranslateControls(*m_texts);
    if (m_scheme)
        recolourControls(*m_scheme);
    showControlsMadeLate(this);
}

void LazyPage::retranslate(const LanguageTable &texts)
{
    m_texts = texts;
    if (m_built)
        retranslateControls(texts);
}

void LazyPage::applyScheme(quint32 colour)
{
    m_scheme = colour;
    if (m_built)
        recolourControls(colour);
}
