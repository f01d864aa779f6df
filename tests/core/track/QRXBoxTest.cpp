#include "core/track/QRXBox.h"
#include "core/base/Errors.h"
#include "core/track/RecordFields.h"

#include <gtest/gtest.h>

namespace {

TQRXBox Parsed(const TStringList& lines, int kind = 0) {
    TQRXBox box;
    box.ParseLines(lines, kind);
    return box;
}

std::string ConversionMessage(const TStringList& lines) {
    try {
        Parsed(lines);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

TEST(RecordFields, SplitsFromTheLeftLeavingTheRestToTheLastField) {
    EXPECT_EQ(SplitCommaFields("a,b,c,d", 3), (TStringList{"a", "b", "c,d"}));
    EXPECT_EQ(SplitCommaFields("2", 2), (TStringList{"", "2"}));
    EXPECT_EQ(SplitCommaFields("1,2", 3), (TStringList{"1", "", "2"}));
    EXPECT_EQ(SplitCommaFields("", 3), (TStringList{"", "", ""}));
    EXPECT_EQ(SplitCommaFields(",,", 3), (TStringList{"", "", ""}));
}

TEST(QRXBox, NewObjectIsEmptyAndRecordsDefaultToTypeSevenZero) {
    const TQRXBox made;
    EXPECT_EQ(made.TypeFlags, "");
    EXPECT_EQ(made.ModelName, "");
    EXPECT_FALSE(made.IsCheckpointMarker);
    EXPECT_EQ(Parsed({"IPOS", "1,2,3"}).TypeFlags, "7,0");
    EXPECT_EQ(Parsed({}).TypeFlags, "7,0");
}

TEST(QRXBox, PositionWrapsIntoTheGrid) {
    const TQRXBox box = Parsed({"IPOS", "-10,5,8200"});
    EXPECT_EQ(box.X, 8182);
    EXPECT_EQ(box.Y, 5);
    EXPECT_EQ(box.Z, 8);
    EXPECT_EQ(Parsed({"IPOS", "8170,0,0"}).X, 8170);
    // Heights are never wrapped.
    EXPECT_EQ(Parsed({"IPOS", "0,-9000,0"}).Y, -9000);
}

TEST(QRXBox, WrapMatchesTheGameRuleAtItsEdges) {
    const auto wrapped = [](double x) {
        double z = 0;
        WrapGamePosition(x, z);
        return x;
    };
    EXPECT_EQ(wrapped(8160), 8160);
    EXPECT_EQ(wrapped(8161), 8161);  // lowered to -31, raised back
    EXPECT_EQ(wrapped(16352), 8160); // one lowering lands exactly on the edge
    EXPECT_EQ(wrapped(16353), 8161);
    EXPECT_EQ(wrapped(-8192), 0);
    EXPECT_EQ(wrapped(-1), 8191);
    EXPECT_EQ(wrapped(-16484.5), 8091.5);
    EXPECT_EQ(wrapped(100000), 100000 - 12 * 8192);
}

TEST(QRXBox, HugeCoordinatesWrapWithoutSpinning) {
    for (double v : {1e300, -1e300, 1e17, -1e17}) {
        double x = v;
        double z = -v;
        WrapGamePosition(x, z);
        EXPECT_GE(x, 0) << v;
        EXPECT_LE(x, 8192) << v;
        EXPECT_GE(z, 0) << v;
        EXPECT_LE(z, 8192) << v;
    }
}

TEST(QRXBox, KeysAreTrimmedAndCaseFreeValuesAreNot) {
    const TQRXBox box = Parsed({"  ipos  ", " 1 , 2.5 ,3 ", "\tmodel ", "  Crate.bin  ",
                                " theta,phi,psi", "0.1,0.2,0.3", "!type,flags", " 6,0 "});
    EXPECT_EQ(box.X, 1);
    EXPECT_EQ(box.Y, 2.5);
    EXPECT_EQ(box.Z, 3);
    EXPECT_EQ(box.ModelName, "MODELS\\Crate.bin");
    EXPECT_DOUBLE_EQ(box.Theta, 0.1);
    EXPECT_DOUBLE_EQ(box.Phi, 0.2);
    EXPECT_DOUBLE_EQ(box.Psi, 0.3);
    EXPECT_EQ(box.TypeFlags, "6,0");
    EXPECT_TRUE(box.IsCheckpoint());
}

TEST(QRXBox, EachKindReadsOnlyItsOwnKeys) {
    const TStringList record = {"IPOS",    "1,0,2",     "IPOS2",    "3,0,4",        "MODEL",
                                "BOX.BIN", "MODELNAME", "BODY.BIN", "CABMODELNAME", "CAB.BIN"};
    const TQRXBox box = Parsed(record, 0);
    EXPECT_EQ(box.X, 1);
    EXPECT_EQ(box.ModelName, "MODELS\\BOX.BIN");
    const TQRXBox body = Parsed(record, 1);
    EXPECT_EQ(body.X, 1);
    EXPECT_EQ(body.ModelName, "MODELS\\BODY.BIN");
    const TQRXBox cab = Parsed(record, 2);
    EXPECT_EQ(cab.X, 3);
    EXPECT_EQ(cab.Z, 4);
    EXPECT_EQ(cab.ModelName, "MODELS\\CAB.BIN");
}

TEST(QRXBox, LastValueWinsAndTheLastLineIsNeverAKey) {
    const TQRXBox box =
        Parsed({"MODEL", "A.BIN", "!TYPE,FLAGS", "8,0", "MODEL", "B.BIN", "!TYPE,FLAGS"});
    EXPECT_EQ(box.ModelName, "MODELS\\B.BIN");
    EXPECT_EQ(box.TypeFlags, "8,0");
    EXPECT_EQ(Parsed({"x", "IPOS"}).X, 0);
}

TEST(QRXBox, NumbersThatAreNotNumbersNameTheirPiece) {
    EXPECT_EQ(ConversionMessage({"IPOS", "1,x,3"}), "'x' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(ConversionMessage({"IPOS", "1,2"}), "'' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(ConversionMessage({"THETA,PHI,PSI", "0,0,0,0"}),
              "'0,0' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(ConversionMessage({"IPOS", "1e999,0,0"}), "'1e999' ist kein gültiger Gleitkommawert");
    // A value line that is itself a key is still a value.
    EXPECT_EQ(ConversionMessage({"IPOS", "MODEL", "A.BIN"}), "'' ist kein gültiger Gleitkommawert");
}

} // namespace
