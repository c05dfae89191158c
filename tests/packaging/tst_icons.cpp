// SPDX-License-Identifier: MIT
// The desktop icons against the window icon they are drawn from.
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

class IconsTest : public QObject
{
    Q_OBJECT

private slots:
    void pngIsTheWindowIcon();
    void svgIsASquareSelfContainedIcon();
};

void IconsTest::pngIsTheWindowIcon()
{
    const QImage windowIcon(QStringLiteral(WINDOW_ICON_XPM));
    const QImage png(QStringLiteral(ICON_PNG));
    QVERIFY2(!windowIcon.isNull(), "cannot read " WINDOW_ICON_XPM);
    QVERIFY2(!png.isNull(), "cannot read " ICON_PNG);
    QCOMPARE(png.size(), QSize(32, 32));
    QCOMPARE(png.size(), windowIcon.size());

    const QImage expected = windowIcon.convertToFormat(QImage::Format_ARGB32);
    const QImage actual = png.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            const QRgb got = actual.pixel(x, y);
            // The colour of a fully transparent pixel does not show.
            const bool same = qAlpha(want) == 0 ? qAlpha(got) == 0 : want == got;
            if (!same)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is #%3, the window icon's #%4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(got, 8, 16, QLatin1Char('0'))
                                     .arg(want, 8, 16, QLatin1Char('0'))));
        }
    }
}

void IconsTest::svgIsASquareSelfContainedIcon()
{
    QFile file(QStringLiteral(ICON_SVG));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    QXmlStreamReader xml(&file);

    QVERIFY2(xml.readNextStartElement(), qPrintable(xml.errorString()));
    QCOMPARE(xml.name(), QStringLiteral("svg"));
    QCOMPARE(xml.namespaceUri(), QStringLiteral("http://www.w3.org/2000/svg"));
    const QStringList viewBox =
        xml.attributes()
            .value(QStringLiteral("viewBox"))
            .toString()
            .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    QCOMPARE(viewBox.size(), 4);
    bool widthRead = false;
    bool heightRead = false;
    const double width = viewBox.at(2).toDouble(&widthRead);
    const double height = viewBox.at(3).toDouble(&heightRead);
    QVERIFY(widthRead && heightRead);
    QVERIFY2(width > 0 && width == height, "the view box is not square");

    const QStringList shapes{QStringLiteral("rect"), QStringLiteral("circle"),
                             QStringLiteral("ellipse"), QStringLiteral("path"),
                             QStringLiteral("polygon")};
    int shapeCount = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (shapes.contains(xml.name().toString()))
            ++shapeCount;
        // Icon themes load the file alone: nothing may come from elsewhere.
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            if (attribute.name() == QStringLiteral("href"))
                QVERIFY2(attribute.value().startsWith(QLatin1Char('#')),
                         qPrintable(QStringLiteral("refers to %1").arg(attribute.value())));
        }
        QVERIFY2(xml.name() != QStringLiteral("image") && xml.name() != QStringLiteral("script"),
                 qPrintable(QStringLiteral("holds an <%1> element").arg(xml.name())));
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(shapeCount > 0, "draws nothing");
}

QTEST_GUILESS_MAIN(IconsTest)
#include "tst_icons.moc"
