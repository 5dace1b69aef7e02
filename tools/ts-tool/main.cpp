// zentar-ts-tool: what the build does with a product's Qt Linguist sources
// besides compiling them.
//
//   zentar-ts-tool stats [--min <percent>] [--share-file <file>] <ts>...
//       Prints, per file (module and language), how many texts are
//       translated, unfinished and missing; fails when a file's share of
//       translated texts is below the minimum. The share of all the files
//       together goes to the share file ("87"), which the product reads to show
//       it beside the language's name.
//   zentar-ts-tool pseudo --language <id> --output <ts> <ts>...
//       Writes a translation of every text of the sources into the
//       pseudo-language (see PseudoText.h).
#include "PseudoText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdio>

namespace
{

struct Message {
    QString context;
    QString source;
    QString comment;
    bool numerus = false;
    // "", "unfinished", "obsolete", "vanished"
    QString type;
    QStringList translations;
};

bool ReadTs(const QString& path, QList<Message>& messages)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: error: cannot read the file\n", qPrintable(path));
        return false;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("context")) {
                context.clear();
            } else if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                message = Message();
                message.context = context;
                message.numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            } else if (name == QLatin1String("source")) {
                message.source = xml.readElementText();
            } else if (name == QLatin1String("comment")) {
                message.comment = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                message.type = xml.attributes().value(QLatin1String("type")).toString();
                if (!message.numerus)
                    message.translations << xml.readElementText();
            } else if (name == QLatin1String("numerusform")) {
                message.translations << xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            messages << message;
        }
    }
    if (xml.hasError()) {
        std::fprintf(stderr, "%s:%lld: error: not a translation file: %s\n", qPrintable(path),
            xml.lineNumber(), qPrintable(xml.errorString()));
        return false;
    }
    return true;
}

// <module>_<language>_<COUNTRY>.ts -> { module, locale }
QPair<QString, QString> ModuleAndLocale(const QString& path)
{
    const QString name = QFileInfo(path).completeBaseName();
    const QStringList parts = name.split(QLatin1Char('_'));
    if (parts.size() < 3)
        return { name, QString() };
    return { parts.mid(0, parts.size() - 2).join(QLatin1Char('_')),
        parts.mid(parts.size() - 2).join(QLatin1Char('_')) };
}

int Stats(const QStringList& arguments)
{
    int minimum = 0;
    QString shareFile;
    QStringList files;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--min") && i + 1 < arguments.size())
            minimum = arguments[++i].toInt();
        else if (arguments[i] == QLatin1String("--share-file") && i + 1 < arguments.size())
            shareFile = arguments[++i];
        else
            files << arguments[i];
    }

    bool below = false;
    int allTranslated = 0;
    int allTexts = 0;
    for (const QString& path : files) {
        QList<Message> messages;
        if (!ReadTs(path, messages))
            return 1;
        int translated = 0;
        int unfinished = 0;
        int missing = 0;
        for (const Message& message : messages) {
            // Texts the sources no longer have do not count.
            if (message.type == QLatin1String("obsolete") || message.type == QLatin1String("vanished"))
                continue;
            // As lrelease counts: a plural with some forms is translated.
            const bool empty = std::all_of(message.translations.begin(), message.translations.end(),
                [](const QString& text) { return text.isEmpty(); });
            if (empty)
                ++missing;
            else if (message.type == QLatin1String("unfinished"))
                ++unfinished;
            else
                ++translated;
        }
        const int total = translated + unfinished + missing;
        const int share = total == 0 ? 100 : translated * 100 / total;
        allTranslated += translated;
        allTexts += total;
        const auto [module, locale] = ModuleAndLocale(path);
        std::printf("Translations %s %s: %d translated, %d unfinished, %d missing (%d %%)\n",
            qPrintable(module), qPrintable(locale), translated, unfinished, missing, share);
        if (share < minimum) {
            std::fprintf(stderr, "%s: error: %d %% of the texts are translated, below the minimum of %d %%\n",
                qPrintable(path), share, minimum);
            below = true;
        }
    }
    std::fflush(stdout);
    if (below)
        return 1;
    if (!shareFile.isEmpty()) {
        QSaveFile file(shareFile);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "%s: error: cannot write the file\n", qPrintable(shareFile));
            return 1;
        }
        file.write(QByteArray::number(allTexts == 0 ? 100 : allTranslated * 100 / allTexts) + '\n');
        if (!file.commit())
            return 1;
    }
    return 0;
}

int Pseudo(const QStringList& arguments)
{
    QString language;
    QString output;
    QStringList files;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--language") && i + 1 < arguments.size())
            language = arguments[++i];
        else if (arguments[i] == QLatin1String("--output") && i + 1 < arguments.size())
            output = arguments[++i];
        else
            files << arguments[i];
    }
    if (language.isEmpty() || output.isEmpty()) {
        std::fprintf(stderr, "zentar-ts-tool pseudo: --language and --output are required\n");
        return 2;
    }

    // Every text of every source file once, by context, in the order found.
    QStringList contexts;
    QMap<QString, QList<Message>> byContext;
    QSet<QString> seen;
    for (const QString& path : files) {
        QList<Message> messages;
        if (!ReadTs(path, messages))
            return 1;
        for (const Message& message : messages) {
            const QString key = message.context + QChar(0) + message.source + QChar(0) + message.comment;
            if (message.type == QLatin1String("obsolete") || message.type == QLatin1String("vanished")
                || message.source.isEmpty() || seen.contains(key))
                continue;
            seen.insert(key);
            if (!byContext.contains(message.context))
                contexts << message.context;
            byContext[message.context] << message;
        }
    }

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s: error: cannot write the file\n", qPrintable(output));
        return 1;
    }
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    xml.writeStartElement(QStringLiteral("TS"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    xml.writeAttribute(QStringLiteral("language"), language);
    for (const QString& context : contexts) {
        xml.writeStartElement(QStringLiteral("context"));
        xml.writeTextElement(QStringLiteral("name"), context);
        for (const Message& message : byContext[context]) {
            xml.writeStartElement(QStringLiteral("message"));
            if (message.numerus)
                xml.writeAttribute(QStringLiteral("numerus"), QStringLiteral("yes"));
            xml.writeTextElement(QStringLiteral("source"), message.source);
            if (!message.comment.isEmpty())
                xml.writeTextElement(QStringLiteral("comment"), message.comment);
            const QString pseudo = PseudoText(message.source);
            if (message.numerus) {
                xml.writeStartElement(QStringLiteral("translation"));
                // English plural rules: one and other.
                xml.writeTextElement(QStringLiteral("numerusform"), pseudo);
                xml.writeTextElement(QStringLiteral("numerusform"), pseudo);
                xml.writeEndElement();
            } else {
                xml.writeTextElement(QStringLiteral("translation"), pseudo);
            }
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return file.commit() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command == QLatin1String("stats"))
        return Stats(arguments);
    if (command == QLatin1String("pseudo"))
        return Pseudo(arguments);
    std::fprintf(stderr,
        "usage: zentar-ts-tool stats [--min <percent>] [--share-file <file>] <ts>...\n"
        "       zentar-ts-tool pseudo --language <id> --output <ts> <ts>...\n");
    return 2;
}
