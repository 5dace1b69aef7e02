#include <Zentar/Core/Exception.h>
#include <Zentar/Core/Property.h>
#include <Zentar/Core/PropertySerializer.h>
#include <Zentar/IO/DataInputString.h>

#include <QtTest>

#include <string>

using Zentar::Core::DataInputString;
using Zentar::Core::Property;
using Zentar::Core::PropertySerializer;

class TestPropertySerializer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTreeAndWritesItBack()
    {
        // Longer than one read buffer, so the input is read in several pieces.
        const std::string text = "{" + std::string(6000, ' ')
            + R"("en_US": "Dark", "ru_RU": "Тёмная", "size": 12.5, "flag": true,
                 "colors": { "nested": { "deep": "1" } }, "list": ["x", "y"] })";
        Property root("");
        PropertySerializer::Deserialize(root, DataInputString::Create(&text), true);
        QCOMPARE(root["ru_RU"].GetString(), std::string("Тёмная"));
        QCOMPARE(root["size"].GetString() + root["flag"].GetString(), std::string("12.5true"));
        QCOMPARE(root["colors"]["nested"]["deep"].GetString(), std::string("1"));
        QCOMPARE(root["list"].GetChildren().back().GetString(), std::string("y"));
        QCOMPARE(root.GetChildren().front().GetName(), std::string("en_US")); // order kept

        const std::string written = PropertySerializer::Serialize(root);
        Property again("");
        PropertySerializer::Deserialize(again, DataInputString::Create(&written), true);
        QCOMPARE(again, root);
    }

    void skipsUtf8ByteOrderMark()
    {
        const std::string text = "\xEF\xBB\xBF{ \"en_US\": \"Dark\", \"ru_RU\": \"Тёмная\" }";
        Property root("");
        PropertySerializer::Deserialize(root, DataInputString::Create(&text), true);
        QCOMPARE(root.GetChildren().size(), size_t(2));
        QCOMPARE(root.GetChildren().front().GetName(), std::string("en_US"));
        QCOMPARE(root["ru_RU"].GetString(), std::string("Тёмная"));
    }

    void acceptsNestingUpToTheLimit()
    {
        // The root and 255 arrays; brackets inside strings do not count.
        const std::string text
            = "{\"a\": " + std::string(255, '[') + "\"[[{{\\\"\"" + std::string(255, ']') + "}";
        Property root("");
        PropertySerializer::Deserialize(root, DataInputString::Create(&text), true);
        const Property* node = &root["a"];
        for (int level = 0; level < 255; ++level)
            node = &node->GetChildren().front();
        QCOMPARE(node->GetString(), std::string("[[{{\""));
    }

    void rejectsMalformedText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        const QByteArray bom = "\xEF\xBB\xBF";
        QTest::newRow("empty") << QByteArray()
                               << "JSON object, found the end of the text at line 1, column 1";
        QTest::newRow("blank lines") << QByteArray("\n  \n ") << "the end of the text at line 3, column 2";
        QTest::newRow("unterminated") << QByteArray("{\n\"en_US\": \"Dark\"\n") << "line 3";
        QTest::newRow("missing comma") << QByteArray("{\"a\": \"1\"\n \"b\": \"2\"}") << "line 2";
        // Positions leave out the mark, as an editor shows the file.
        QTest::newRow("array root") << bom + "\n  [\"Тёмная\"]"
                                    << "found '[' at line 2, column 3";
        QTest::newRow("string root") << QByteArray("\"Тёмная\"") << "found '\"' at line 1, column 1";
        QTest::newRow("bom twice") << bom + bom + "{}"
                                   << "found byte 0xEF at line 1, column 1";
        QTest::newRow("bom inside") << "{\"a\": \"1\",\n" + bom + "\"b\": 2}"
                                    << "line 2";
        // Refused before the parser's recursion overflows the stack.
        QTest::newRow("too deep") << "{\"a\": " + QByteArray(100000, '[')
                                  << "nested more than 256 levels deep at line 1, column 262";
        QTest::newRow("utf-16") << QByteArray("\xFF\xFE{\0}\0", 6) << "UTF-16 byte-order mark";
    }
    void rejectsMalformedText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        Property root("");
        root["kept"].SetString("yes");
        try {
            const std::string bytes = text.toStdString();
            PropertySerializer::Deserialize(root, DataInputString::Create(&bytes), true);
            QFAIL("malformed text was accepted");
        } catch (const Zentar::Exception& e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(expected), e.what());
        }
        // A rejected read leaves the target as it was.
        QCOMPARE(root.GetChildren().size(), size_t(1));
        QCOMPARE(root["kept"].GetString(), std::string("yes"));
    }
};

QTEST_GUILESS_MAIN(TestPropertySerializer)
#include "tst_propertyserializer.moc"
