#include "focus/KvFirstResponder.h"

#include <QTest>

using namespace KvFirstResponder;
using Ops = TextFieldOperations;

// The sets are usable in constant expressions.
static_assert(Ops{Ops::mouseDownOutside, Ops::returnKey, Ops::enterKey, Ops::escapeKey} ==
              Ops::all);
static_assert(TextEditorOperations{TextEditorOperations::mouseDownOutside,
                                   TextEditorOperations::escapeKey} == TextEditorOperations::all);

class TestOptionSet : public QObject {
    Q_OBJECT

private slots:
    void algebra_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("unionWith");
        QTest::addColumn<int>("intersection");
        QTest::addColumn<int>("symmetricDifference");
        QTest::addColumn<int>("subtracting");
        QTest::addColumn<bool>("isSubset");
        QTest::addColumn<bool>("isStrictSubset");
        QTest::addColumn<bool>("isSuperset");
        QTest::addColumn<bool>("isDisjoint");

        QTest::newRow("empty, empty")
            << 0 << 0 << 0 << 0 << 0 << 0 << true << false << true << true;
        QTest::newRow("empty, enter")
            << 0 << 4 << 4 << 0 << 4 << 0 << true << true << false << true;
        QTest::newRow("enter, enter")
            << 4 << 4 << 4 << 4 << 0 << 0 << true << false << true << false;
        QTest::newRow("enter, return")
            << 4 << 2 << 6 << 0 << 6 << 4 << false << false << false << true;
        QTest::newRow("enter|escape, all")
            << 12 << 15 << 15 << 12 << 3 << 0 << true << true << false << false;
        QTest::newRow("all, mouse|return")
            << 15 << 3 << 15 << 3 << 12 << 12 << false << false << true << false;
        QTest::newRow("mouse|enter, enter|escape")
            << 5 << 12 << 13 << 4 << 9 << 1 << false << false << false << false;
        // Bits without a member are kept.
        QTest::newRow("unnamed bits, enter")
            << 0x30 << 4 << 0x34 << 0 << 0x34 << 0x30 << false << false << false << true;
    }

    // The plain, the operator and the mutating forms agree.
    void algebra()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        const Ops x(a);
        const Ops y(b);
        QTEST(x.unionWith(y).rawValue(), "unionWith");
        QTEST((x | y).rawValue(), "unionWith");
        QTEST(x.intersection(y).rawValue(), "intersection");
        QTEST((x & y).rawValue(), "intersection");
        QTEST(x.symmetricDifference(y).rawValue(), "symmetricDifference");
        QTEST((x ^ y).rawValue(), "symmetricDifference");
        QTEST(x.subtracting(y).rawValue(), "subtracting");
        QTEST(x.isSubset(y), "isSubset");
        QTEST(x.isStrictSubset(y), "isStrictSubset");
        QTEST(x.isSuperset(y), "isSuperset");
        QTEST(y.isSubset(x), "isSuperset");
        QTEST(x.isDisjoint(y), "isDisjoint");
        QCOMPARE(x.isStrictSuperset(y), x.isSuperset(y) && a != b);
        QCOMPARE(x.contains(y), x.isSuperset(y));

        Ops z = x;
        z.formUnion(y);
        QCOMPARE(z, x | y);
        z = x;
        z.formIntersection(y);
        QCOMPARE(z, x & y);
        z = x;
        z.formSymmetricDifference(y);
        QCOMPARE(z, x ^ y);
        z = x;
        z.subtract(y);
        QCOMPARE(z, x - y);
    }
};

QTEST_APPLESS_MAIN(TestOptionSet)
#include "tst_optionset.moc"
