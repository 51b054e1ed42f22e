// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Cp1250.h"

#include <QTest>

class Cp1250Test : public QObject {
    Q_OBJECT

private slots:
    void everyByteRoundTrips() {
        std::string all;
        for (int byte = 0; byte < 256; ++byte)
            all += static_cast<char>(byte);
        const QString text = DecodeCp1250(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 256); // one character per byte
        const std::optional<std::string> back = EncodeCp1250(text);
        QVERIFY(back);
        QCOMPARE(QByteArray::fromStdString(*back), QByteArray::fromStdString(all));
    }

    void characters_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("ASCII") << 0x41 << 0x41;
        QTest::newRow("caret") << 0x5E << 0x5E;
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("S caron") << 0x8A << 0x0160;
        QTest::newRow("z caron") << 0x9E << 0x017E;
        QTest::newRow("no-break space") << 0xA0 << 0x00A0;
        QTest::newRow("L stroke") << 0xA3 << 0x0141;
        QTest::newRow("R acute") << 0xC0 << 0x0154;
        QTest::newRow("c caron") << 0xE8 << 0x010D;
        QTest::newRow("u ring") << 0xF9 << 0x016F;
        QTest::newRow("dot above") << 0xFF << 0x02D9;
        // Undefined in Windows-1250: the C1 control of the same number, as Windows maps them.
        for (int undefined : {0x81, 0x83, 0x88, 0x90, 0x98})
            QTest::addRow("undefined %02X", undefined) << undefined << undefined;
    }

    void characters() {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        const std::string bytes(1, static_cast<char>(byte));
        QCOMPARE(DecodeCp1250(bytes), QString(QChar(unicode)));
        QCOMPARE(EncodeCp1250(QString(QChar(unicode))), std::optional<std::string>(bytes));
    }

    void charactersWithoutAByteAreRefused_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("Cyrillic") << QStringLiteral("abcж");
        QTest::newRow("n tilde (Latin-1, not Central European)") << QStringLiteral("ñ");
        QTest::newRow("C1 control that Windows-1250 defines") << QString(QChar(0x80));
        QTest::newRow("outside the BMP") << QStringLiteral("a😀");
    }

    void charactersWithoutAByteAreRefused() {
        QFETCH(QString, text);
        QVERIFY(!EncodeCp1250(text));
        Cp1250Validator validator;
        int position = 0;
        QCOMPARE(validator.validate(text, position), QValidator::Invalid);
    }

    void validatorAcceptsWindows1250Text() {
        Cp1250Validator validator;
        QString text = QStringLiteral("Žluťoučký kůň ^1€");
        int position = 3;
        QCOMPARE(validator.validate(text, position), QValidator::Acceptable);
        QString empty;
        QCOMPARE(validator.validate(empty, position), QValidator::Acceptable);
    }
};

QTEST_APPLESS_MAIN(Cp1250Test)
#include "Cp1250Test.moc"
