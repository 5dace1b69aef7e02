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

    void rejectsMalformedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "JSON object";
        QTest::newRow("unterminated") << "{\n\"en_US\": \"Dark\"\n" << "line 3";
        QTest::newRow("missing comma") << "{\"a\": \"1\"\n \"b\": \"2\"}" << "line 2";
    }
    void rejectsMalformedText()
    {
        QFETCH(QString, text);
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
