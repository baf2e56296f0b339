#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace Translations {
namespace {

std::vector<std::unique_ptr<QTranslator>> &installed()
{
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

} // namespace

QLocale localeFor(const QString &langCode)
{
    // Language files name their language with three letters (ISO 639-2), some with two.
    const QString code = langCode.trimmed().toLower();
    if (code.isEmpty())
        return QLocale::c();
    QLocale::Language language = QLocale::codeToLanguage(code, QLocale::ISO639Part2);
    if (language == QLocale::AnyLanguage)
        language = QLocale::codeToLanguage(code, QLocale::ISO639Part1);
    if (language == QLocale::AnyLanguage)
        language = QLocale::codeToLanguage(code);
    return language == QLocale::AnyLanguage ? QLocale::c() : QLocale(language);
}

void apply(const QString &langCode)
{
    for (auto &translator : installed())
        QCoreApplication::removeTranslator(translator.get());
    installed().clear();
    const QLocale locale = localeFor(langCode);
    if (locale.language() == QLocale::C)
        return;
    QLocale::setDefault(locale);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalogue : {"qtbase", "qtwebengine", "qtdeclarative"}) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(locale, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)
            && QCoreApplication::installTranslator(translator.get()))
            installed().push_back(std::move(translator));
    }
}

} // namespace Translations
