#pragma once

#include "gui/editors/editor_page.h"

#include <QString>

class LabeledEdit;
class QLabel;
class QPlainTextEdit;
struct AppContext;

// The Chimies page: edits one formula file, its title, type, characteristics,
// comments and formula table.
class ChemPage : public EditorPage
{
    Q_OBJECT
public:
    explicit ChemPage(AppContext &context, QWidget *parent = nullptr, Build when = Build::Now);

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void readFile(const FilePath &file) override;
    void writeFile(const FilePath &file) override;
    void clearFields() override;

private:
    LabeledEdit *lbleChemType = nullptr;
    QLabel *lblChemObjectives = nullptr, *lblChemComments = nullptr;
    QPlainTextEdit *mmoChemCharacteristics = nullptr, *mmoChemComments = nullptr;
};
