#include "PseudoText.h"

#include <QRegularExpression>
#include <QVector>

#include <cmath>

namespace
{

const QString kPlain = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kAccented = QStringLiteral(u"áƀçðéƒĝĥîĵķļɱñöþǫŕšţûṽŵẋýžÅƁÇÐÉƑĜĤÎĴĶĻṀÑÖÞǪŔŜŢÛṼŴẊÝŽ");

struct Piece {
    QString text;
    bool tag = false;
};

} // namespace

QString PseudoText(const QString& source)
{
    static const QRegularExpression tag(QStringLiteral("\\G(<!--.*?-->|<[/!?]?[A-Za-z][^<>]*>)"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression entity(
        QStringLiteral("\\G&(#[0-9]+|#[xX][0-9A-Fa-f]+|[A-Za-z][A-Za-z0-9]*);"));
    static const QRegularExpression placeholder(QStringLiteral("\\G%L?([0-9]{1,2}|n)"));

    QVector<Piece> pieces;
    int visible = 0;
    const auto append = [&pieces](const QString& text, bool isTag) {
        if (pieces.isEmpty() || pieces.last().tag != isTag)
            pieces.append({ QString(), isTag });
        pieces.last().text += text;
    };
    for (int i = 0; i < source.size();) {
        const QChar c = source[i];
        QRegularExpressionMatch match;
        if (c == QLatin1Char('<') && (match = tag.match(source, i)).hasMatch()) {
            append(match.captured(), true);
            i += match.capturedLength();
        } else if (c == QLatin1Char('&') && (match = entity.match(source, i)).hasMatch()) {
            append(match.captured(), false);
            ++visible;
            i += match.capturedLength();
        } else if (c == QLatin1Char('&') && i + 1 < source.size() && !source[i + 1].isSpace()) {
            // "&&" is a literal ampersand; otherwise the letter after the
            // ampersand is the accelerator and must stay typable.
            append(source.mid(i, 2), false);
            ++visible;
            i += 2;
        } else if (c == QLatin1Char('%') && (match = placeholder.match(source, i)).hasMatch()) {
            append(match.captured(), false);
            visible += match.capturedLength();
            i += match.capturedLength();
        } else {
            const int plain = kPlain.indexOf(c);
            append(plain >= 0 ? QString(kAccented[plain]) : QString(c), false);
            ++visible;
            ++i;
        }
    }
    if (visible == 0)
        return source;

    const int first = pieces.first().tag ? 1 : 0;
    const int last = pieces.last().tag ? pieces.size() - 2 : pieces.size() - 1;
    const int dots = std::max(1, int(std::ceil(visible * 0.35)) - 1);
    pieces[first].text.prepend(QLatin1Char('['));
    pieces[last].text += QLatin1Char(' ') + QString(dots, QChar(0x00B7)) + QLatin1Char(']');

    QString result;
    for (const Piece& piece : pieces)
        result += piece.text;
    return result;
}
