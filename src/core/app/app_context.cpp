#include "core/app/app_context.h"

#include "core/app/language.h"

QString AppContext::message(int k) const
{
    if (k >= 0 && k < Messages.size() && !Messages.at(k).isEmpty())
        return Messages.at(k);
    switch (k) {
    case 2:
        return QStringLiteral("Ce fichier n'a pas le format attendu.");
    case 3:
        return QStringLiteral("Les préférences ont été modifiées. Les enregistrer ?");
    case 4:
        return QStringLiteral("Préférences");
    case 7:
        return QStringLiteral("Valeur numérique incorrecte.");
    case 8:
        return QStringLiteral("La concentration du stock doit être au moins égale à la "
                              "concentration finale.");
    default:
        return QString();
    }
}

QString AppContext::noFileMessage() const
{
    if (!NoFileText.isEmpty())
        return NoFileText;
    return QStringLiteral(
        "Aucun fichier n'est indiqué : choisissez-en un avec « ... » ou tapez son chemin.");
}

QString AppContext::changedOnDiskText(int k) const
{
    if (k >= 0 && k < ChangedOnDiskTexts.size() && !ChangedOnDiskTexts.at(k).isEmpty())
        return ChangedOnDiskTexts.at(k);
    switch (k) {
    case 0:
        return QStringLiteral("Le fichier wsettings.txt a changé depuis que Noctarel l'a lu "
                              "(une autre fenêtre de Noctarel l'a peut-être enregistré). "
                              "Garder vos préférences et les enregistrer, prendre celles du "
                              "fichier, ou annuler ?");
    case 1:
        return QStringLiteral("&Garder les miennes");
    case 2:
        return QStringLiteral("&Prendre celles du fichier");
    default:
        return QStringLiteral("&Annuler");
    }
}

QString AppContext::finishedWord() const
{
    return FinishedText.isEmpty() ? QStringLiteral("Terminé") : FinishedText;
}

QString AppContext::closeUnderwayText() const
{
    if (!CloseUnderwayText.isEmpty())
        return CloseUnderwayText;
    return QStringLiteral("Un traitement est en cours. Quitter quand même ?");
}

QString AppContext::closeUnderwayCaption() const
{
    return CloseUnderwayCaption.isEmpty() ? QStringLiteral("Traitement en cours")
                                          : CloseUnderwayCaption;
}

QString AppContext::entryOr(int n, const QString &own) const
{
    if (language && n >= 0 && n < LanguageTable::Size && !language->entry(n).isEmpty())
        return language->entry(n);
    return own;
}

QString AppContext::formatOr(int n, const QString &own, int places) const
{
    const QString text = entryOr(n, own);
    return text.contains(QLatin1Char('%') + QString::number(places)) ? text : own;
}

QString AppContext::notOpenedMessage(const QString &what) const
{
    const QString text =
        NotOpenedText.isEmpty()
            ? QStringLiteral(
                  "No program opened \"%1\": install one that opens it, or open it yourself.")
            : NotOpenedText;
    return text.contains(QLatin1String("%1")) ? text.arg(what) : text;
}
