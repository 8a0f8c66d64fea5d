// Which pairs of questions are near-duplicates, and which questions a few
// typed words find.

#include "QuestionSearch.h"

#include <QTest>

class tst_QuestionSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nearDuplicates_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("near");
        QTest::addColumn<QString>("excerpt"); // of a, 40 characters around the difference
        const auto row = [](const char *tag, const char *a, const char *b, bool near,
                            const char *excerpt = "") {
            QTest::newRow(tag) << a << b << near << excerpt;
        };
        row("article", "¿Qué es el marketing?", "¿Qué es un marketing?", true);
        row("comma", "La marca, el envase y la etiqueta forman parte del producto.",
            "La marca el envase y la etiqueta forman parte del  producto", true,
            "La marca, el envase y la etiqueta forman…");
        row("case, accents", "ELASTICIDAD-PRECIO de la demanda.",
            "¿elasticidad precío de la demanda?", true);
        row("plural, longer",
            "Las marcas blancas se venden a un precio inferior al de las marcas del fabricante.",
            "Las marcas blancas se venden a precios inferiores al de las marcas del fabricante.",
            true, "…blancas se venden a un precio inferior…");
        row("concept word", "¿Qué es la elasticidad precio de la demanda?",
            "¿Qué es la elasticidad cruzada de la demanda?", false,
            "¿Qué es la elasticidad precio de la…");
        row("opposite", "El precio sube cuando la demanda crece.",
            "El precio baja cuando la demanda crece.", false);
        row("empty", "", "¿Qué?", false);
    }
    void nearDuplicates()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, near);
        QFETCH(QString, excerpt);
        QCOMPARE(questionSearch::firstNearDuplicate(a, {"Otra cosa bien distinta.", b}),
                 near ? 1 : -1);
        QCOMPARE(questionSearch::differenceExcerpt(a, b, 40), excerpt.isEmpty() ? a : excerpt);
    }

    // Exact distances around which the bounded measure must turn: within at
    // the distance, not one below it.
    void theDistanceIsExactAtItsLimit_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("distance");
        const auto row = [](const char *a, const char *b, int distance) {
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(a, b))) << a << b << distance;
        };
        row("", "abc", 3);
        row("abc", "", 3);
        row("ab", "ba", 2);
        row("xabcdefghij", "abcdefghijy", 2);
        row("aaaa", "aaa", 1);
        row("abcdefgh", "abcdefgh", 0);
        row("abcdefghijklmnop", "Xbcdefghijklmnop", 1); // first of a run of four
        row("abcdefghijklmnop", "abcdefghijklmnoq", 1); // last of a run of four
    }
    void theDistanceIsExactAtItsLimit()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, distance);
        QVERIFY(questionSearch::withinDistance(a, b, distance));
        QVERIFY(!questionSearch::withinDistance(a, b, distance - 1));
    }

    void search_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<qsizetype>>("found");
        QTest::addColumn<QString>("marked"); // the first one found, words in []
        QTest::newRow("typed accent")
            << "PRÉCIO" << QList<qsizetype>{0, 2} << "¿Qué mide la Elasticidad-[Precio]?";
        QTest::newRow("words anywhere") << "ser el mar" << QList<qsizetype>{1}
                                        << "[El] [mar]keting de [ser]vicios es intangible.";
        QTest::newRow("only signs") << "¿?" << QList<qsizetype>{} << "";
        QTest::newRow("overlapping")
            << "ñandu and" << QList<qsizetype>{2} << "El [Ñandú] y el [and]én tienen precio.";
    }
    void search()
    {
        QFETCH(QString, query);
        QFETCH(QList<qsizetype>, found);
        QuestionSearch search;
        search.add(QuestionKind::TrueFalse, 1, 2, 7, "¿Qué mide la Elasticidad-Precio?");
        search.add(QuestionKind::Brief, 3, 0, 1, "El marketing de servicios es intangible.");
        search.add(QuestionKind::Brief, 4, 0, 2, "El Ñandú y el andén tienen precio.");
        QCOMPARE(search.find(query), found);
        if (found.isEmpty())
            return;
        QString text = search.entry(found.first()).text;
        const auto spans = questionSearch::wordSpans(text, questionSearch::queryWords(query));
        for (auto span = spans.crbegin(); span != spans.crend(); ++span)
            text.insert(span->first + span->second, ']').insert(span->first, '[');
        QTEST(text, "marked");
    }
};

QTEST_APPLESS_MAIN(tst_QuestionSearch)
#include "tst_QuestionSearch.moc"
