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
    // Every pair of sets over the four members, and bits without a member (kept),
    // against the bits themselves; the plain, operator and mutating forms agree.
    void algebra()
    {
        QList<int> values{0x30, 0x34};
        for (int raw = 0; raw < 16; ++raw)
            values.append(raw);
        for (int a : values) {
            for (int b : values) {
                const Ops x(a);
                const Ops y(b);
                const bool subset = (a & ~b) == 0;
                const bool superset = (b & ~a) == 0;
                QCOMPARE(x.unionWith(y).rawValue(), a | b);
                QCOMPARE(x.intersection(y).rawValue(), a & b);
                QCOMPARE(x.symmetricDifference(y).rawValue(), a ^ b);
                QCOMPARE(x.subtracting(y).rawValue(), a & ~b);
                QCOMPARE(x.isSubset(y), subset);
                QCOMPARE(x.isStrictSubset(y), subset && a != b);
                QCOMPARE(x.isSuperset(y), superset);
                QCOMPARE(x.isStrictSuperset(y), superset && a != b);
                QCOMPARE(x.contains(y), superset);
                QCOMPARE(x.isDisjoint(y), (a & b) == 0);
                QCOMPARE(x | y, x.unionWith(y));
                QCOMPARE(x & y, x.intersection(y));
                QCOMPARE(x ^ y, x.symmetricDifference(y));
                QCOMPARE(x - y, x.subtracting(y));

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
        }
    }
};

QTEST_APPLESS_MAIN(TestOptionSet)
#include "tst_optionset.moc"
