#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// What a helper process tells its test on standard output: one
// "<key> <value>" line per fact. A key may come several times.
class HelperReport
{
public:
    explicit HelperReport(const QByteArray& output)
    {
        for (const QByteArray& line : output.split('\n')) {
            const int space = line.indexOf(' ');
            if (space > 0)
                m_lines.append({ line.left(space), line.mid(space + 1) });
        }
    }

    // The value of the last line with this key; empty when there is none.
    QByteArray Value(const QByteArray& key) const
    {
        for (auto it = m_lines.crbegin(); it != m_lines.crend(); ++it)
            if (it->first == key)
                return it->second;
        return {};
    }
    QString Text(const QByteArray& key) const { return QString::fromUtf8(Value(key)); }

    // Every value of the key, in the order of the output.
    QStringList Texts(const QByteArray& key) const
    {
        QStringList texts;
        for (const auto& [name, value] : m_lines)
            if (name == key)
                texts << QString::fromUtf8(value);
        return texts;
    }

private:
    QList<QPair<QByteArray, QByteArray>> m_lines;
};
