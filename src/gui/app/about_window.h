#pragma once

#include <QDialog>
#include <QDir>
#include <functional>

class QLabel;
class QPlainTextEdit;
class LanguageTable;

// The About window: product and version, the rights notice, the terms of use,
// and three links (mail, web page, the user guide in the working folder).
// Created hidden at start-up and shown modally from the main window's "?".
class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    // The guide is looked for in the working folder.
    explicit TfrmAbout(const QDir &workingFolder, QWidget *parent = nullptr);
    ~TfrmAbout() override;

    // The terms of use as the memo shows them each time the window opens.
    static QString legalText();

    void lblWebPageClick();
    void lblWebPageMouseMove();
    void lblEmailAddressClick();
    void lblEmailAddressMouseMove();
    void lblDocClick();
    void lblDocMouseMove();
    void FormMouseMove();

    // Told what no program opened (a link, the guide), to say so.
    void setNotOpened(std::function<void(const QString &what)> notOpened)
    {
        m_notOpened = std::move(notOpened);
    }

    // The window's title and the guide's caption from the language texts;
    // the rest is the product's own, in every language.
    void retranslate(const LanguageTable &texts);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void showHandCursor();
    void showDefaultCursor();
    void placeOnScreen();
    void open(const QString &text);

    QDir m_workingFolder;
    std::function<void(const QString &)> m_notOpened;
    // Whether the hand pointer we pushed is on the application's cursor stack.
    bool m_handShown = false;
    QLabel *lblTitel, *lblCopyright, *lblEmailAddress, *lblWebPage, *lblDocTitel, *lblDoc;
    QPlainTextEdit *mmoLegal;
};
