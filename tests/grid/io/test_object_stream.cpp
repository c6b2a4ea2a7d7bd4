// The object stream's records read back as they were written, whatever the
// length of their names: a length byte that could be taken for filer flags
// is written after an empty set of them.

#include "grid/io/TObjectReader.h"
#include "grid/io/TObjectWriter.h"

#include <gtest/gtest.h>

TEST(ObjectStream, ClassNamesOfEveryLengthReadBack)
{
    for (int length : {0, 1, 200, 239, 240, 241, 250, 255}) {
        const QByteArray className(length, 'C');
        const QByteArray name(length, 'n');
        TObjectWriter w;
        w.BeginRecord(className, name);
        w.Integer("Col", 7);
        w.String("Cell", QStringLiteral("text"));
        w.EndRecord();
        w.BeginRecord("TGridCellIO");
        w.Boolean("HasProp", true);
        w.EndRecord();

        const QByteArray bytes = w.Bytes();
        TObjectReader r(bytes);
        const TStreamRecord first = r.ReadRecord();
        EXPECT_EQ(first.className, className) << length;
        EXPECT_EQ(first.name, name) << length;
        EXPECT_EQ(first.Int("Col"), 7) << length;
        EXPECT_EQ(first.Str("Cell"), QStringLiteral("text")) << length;
        const TStreamRecord second = r.ReadRecord();
        EXPECT_EQ(second.className, "TGridCellIO") << length;
        EXPECT_TRUE(second.Bool("HasProp")) << length;
        EXPECT_EQ(r.Remaining(), 0) << length;
    }
}

TEST(ObjectStream, NamesPastAShortStringAreCutAndStillRead)
{
    TObjectWriter w;
    w.BeginRecord(QByteArray(300, 'C'), QByteArray(300, 'n'));
    w.EndRecord();
    const QByteArray bytes = w.Bytes();
    TObjectReader r(bytes);
    const TStreamRecord record = r.ReadRecord();
    EXPECT_EQ(record.className, QByteArray(255, 'C'));
    EXPECT_EQ(record.name, QByteArray(255, 'n'));
    EXPECT_EQ(r.Remaining(), 0);
}

TEST(ObjectStream, FilerFlagsWithAChildPositionAreRead)
{
    // What another writer may put before the class name: flags with a child
    // position (ffChildPos) and its integer.
    TObjectWriter body;
    body.BeginRecord("X", "Y");
    body.EndRecord();
    QByteArray bytes = body.Bytes();
    bytes.insert(4, QByteArray("\xF2\x02\x05", 3));
    TObjectReader r(bytes);
    const TStreamRecord record = r.ReadRecord();
    EXPECT_EQ(record.className, "X");
    EXPECT_EQ(record.name, "Y");
    EXPECT_EQ(r.Remaining(), 0);
}
