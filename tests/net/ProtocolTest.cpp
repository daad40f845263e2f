// The wire format: the exact bytes of every message, and every way a frame
// can be refused.
#include "net/Protocol.h"
#include "tests/net/NetTestSupport.h"

#include <QTest>

class ProtocolTest : public QObject {
    Q_OBJECT

private slots:
    void messagesHaveFixedBytesAndDecodeBack_data()
    {
        QTest::addColumn<TNetMessage>("message");
        QTest::addColumn<QByteArray>("bytes");
        TNetHello hello = HelloOf(TNetRole::Server, {1, 7, 5, 1});
        hello.Program = QStringLiteral("Zelvon 1.0");
        QTest::newRow("hello") << TNetMessage(hello)
                               << Hex("0019 01 5a454c564f4e 01 00 0001 07 05 01 0a 5a656c766f6e20312e30");
        QTest::newRow("move") << TNetMessage(TNetMove{258, {{1, 1}, {10, 9}}, 0x0102030405060708})
                              << Hex("000f 02 0102 0101 0a09 0102030405060708");
        QTest::newRow("new game request") << TNetMessage(TNetNewGameRequest{}) << Hex("0001 03");
        QTest::newRow("answer yes") << TNetMessage(TNetNewGameAnswer{true}) << Hex("0002 04 01");
        QTest::newRow("answer no") << TNetMessage(TNetNewGameAnswer{false}) << Hex("0002 04 00");
        QTest::newRow("new game") << TNetMessage(TNetNewGame{{65535, 4, 10, 0}}) << Hex("0006 05 ffff 04 0a 00");
        QTest::newRow("bye") << TNetMessage(TNetBye{brLostSync}) << Hex("0002 06 04");
        QTest::newRow("bye of an unknown reason") << TNetMessage(TNetBye{200}) << Hex("0002 06 c8");
        QTest::newRow("ping") << TNetMessage(TNetPing{}) << Hex("0001 07");
    }

    void messagesHaveFixedBytesAndDecodeBack()
    {
        QFETCH(TNetMessage, message);
        QFETCH(QByteArray, bytes);
        QCOMPARE(EncodeFrame(message).toHex(' '), bytes.toHex(' '));
        // A following frame's bytes are not taken.
        const TNetDecoded decoded = DecodeFrame(bytes + Hex("0001 07"));
        QCOMPARE(decoded.Error, TNetDecodeError::None);
        QCOMPARE(decoded.Consumed, bytes.size());
        QCOMPARE(decoded.Message, message);
    }

    void faultyFramesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TNetDecodeError>("error");
        const QByteArray helloStart = Hex("01 5a454c564f4e 01");
        const auto frame = [](const QByteArray& payload) {
            return QByteArray(1, char(payload.size() >> 8)) + char(payload.size() & 0xFF) + payload;
        };
        const auto hello = [&](const char* rest) { return frame(helloStart + Hex(rest)); };

        QTest::newRow("nothing") << QByteArray() << TNetDecodeError::Incomplete;
        QTest::newRow("half a length") << Hex("00") << TNetDecodeError::Incomplete;
        QTest::newRow("length without payload") << Hex("000f 02 0001") << TNetDecodeError::Incomplete;
        QTest::newRow("empty frame") << Hex("0000") << TNetDecodeError::EmptyFrame;
        QTest::newRow("one byte over the limit, refused from its length alone")
            << Hex("1001") << TNetDecodeError::FrameTooLarge;
        QTest::newRow("largest length") << Hex("ffff") << TNetDecodeError::FrameTooLarge;
        QTest::newRow("an HTTP request") << QByteArray("GET / HTTP/1.1\r\n") << TNetDecodeError::FrameTooLarge;
        QTest::newRow("frame at the limit, unknown type")
            << frame(QByteArray(NetMaxPayload, char(0x7f))) << TNetDecodeError::UnknownType;
        QTest::newRow("type 0") << Hex("0001 00") << TNetDecodeError::UnknownType;
        QTest::newRow("type 8") << Hex("0001 08") << TNetDecodeError::UnknownType;
        QTest::newRow("ping with a byte more") << Hex("0002 07 00") << TNetDecodeError::BadSize;
        QTest::newRow("request with a byte more") << Hex("0002 03 00") << TNetDecodeError::BadSize;
        QTest::newRow("move a byte short") << Hex("000e 02 0001 0101 0202 01020304050607")
                                           << TNetDecodeError::BadSize;
        QTest::newRow("answer without its value") << Hex("0001 04") << TNetDecodeError::BadSize;
        QTest::newRow("bye without its reason") << Hex("0001 06") << TNetDecodeError::BadSize;
        QTest::newRow("new game a byte long") << Hex("0007 05 0002 07 07 00 00") << TNetDecodeError::BadSize;
        QTest::newRow("move from column 0") << Hex("000f 02 0001 0001 0202 0000000000000000")
                                            << TNetDecodeError::BadValue;
        QTest::newRow("move to row 11") << Hex("000f 02 0001 0101 020b 0000000000000000")
                                        << TNetDecodeError::BadValue;
        QTest::newRow("move to column 255") << Hex("000f 02 0001 0101 ff02 0000000000000000")
                                            << TNetDecodeError::BadValue;
        QTest::newRow("answer 2") << Hex("0002 04 02") << TNetDecodeError::BadValue;
        QTest::newRow("new game 0") << Hex("0006 05 0000 07 07 00") << TNetDecodeError::BadValue;
        QTest::newRow("new game 3 columns wide") << Hex("0006 05 0002 03 07 00") << TNetDecodeError::BadValue;
        QTest::newRow("new game 11 rows high") << Hex("0006 05 0002 07 0b 00") << TNetDecodeError::BadValue;
        QTest::newRow("new game begun by a third side") << Hex("0006 05 0002 07 07 02")
                                                        << TNetDecodeError::BadValue;
        QTest::newRow("hello cut in its magic") << Hex("0004 01 5a454c") << TNetDecodeError::BadSize;
        QTest::newRow("hello of another program") << frame(Hex("01 5a454c564f4f 01 00 0001 0a0a00 01 41"))
                                                  << TNetDecodeError::BadMagic;
        QTest::newRow("hello of version 2, whatever follows")
            << frame(Hex("01 5a454c564f4e 02 ffffff")) << TNetDecodeError::UnsupportedVersion;
        QTest::newRow("hello of version 0") << frame(Hex("01 5a454c564f4e 00")) << TNetDecodeError::UnsupportedVersion;
        QTest::newRow("hello cut after its version") << hello("") << TNetDecodeError::BadSize;
        QTest::newRow("hello longer than its name") << hello("00 0001 0a0a00 02 41") << TNetDecodeError::BadSize;
        QTest::newRow("hello shorter than its name") << hello("00 0001 0a0a00 01 4142") << TNetDecodeError::BadSize;
        QTest::newRow("hello of a third role") << hello("02 0001 0a0a00 01 41") << TNetDecodeError::BadValue;
        QTest::newRow("hello with a board 12 wide") << hello("00 0001 0c0a00 01 41") << TNetDecodeError::BadValue;
        QTest::newRow("hello begun by a third side") << hello("00 0001 0a0a02 01 41") << TNetDecodeError::BadValue;
        QTest::newRow("hello with an empty name") << hello("00 0001 0a0a00 00") << TNetDecodeError::BadValue;
        QTest::newRow("hello with markup in its name") << hello("00 0001 0a0a00 03 3c623e")
                                                       << TNetDecodeError::BadValue;
        QTest::newRow("hello with a format in its name") << hello("00 0001 0a0a00 02 2573")
                                                         << TNetDecodeError::BadValue;
        QTest::newRow("hello with a control character in its name") << hello("00 0001 0a0a00 02 410a")
                                                                    << TNetDecodeError::BadValue;
        QTest::newRow("hello with a name of 33 characters")
            << frame(helloStart + Hex("00 0001 0a0a00 21") + QByteArray(33, 'a')) << TNetDecodeError::BadValue;
    }

    void faultyFramesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TNetDecodeError, error);
        const TNetDecoded decoded = DecodeFrame(bytes);
        QCOMPARE(decoded.Error, error);
        QCOMPARE(decoded.Consumed, 0);
    }

    void otherVersionsHelloTellsItsVersion()
    {
        const TNetDecoded decoded = DecodeFrame(Hex("0009 01 5a454c564f4e 07 00"));
        QCOMPARE(decoded.Error, TNetDecodeError::UnsupportedVersion);
        QCOMPARE(std::get<TNetHello>(decoded.Message).Protocol, 7);
    }

    void longestProgramNameIsAccepted()
    {
        TNetHello hello = HelloOf(TNetRole::Client);
        hello.Program = QString(NetMaxProgramLength, u'x');
        const TNetDecoded decoded = DecodeFrame(EncodeFrame(hello));
        QCOMPARE(decoded.Error, TNetDecodeError::None);
        QCOMPARE(decoded.Message, TNetMessage(hello));
    }

    void readerSplitsAStreamFedByteByByte()
    {
        const std::vector<TNetMessage> sent{HelloOf(TNetRole::Client), TNetPing{},
                                            TNetMove{1, {{1, 1}, {2, 1}}, 42}, TNetNewGameAnswer{true},
                                            TNetBye{brQuit}};
        QByteArray stream;
        for (const TNetMessage& message : sent)
            stream += EncodeFrame(message);
        TNetFrameReader reader;
        std::vector<TNetMessage> received;
        for (const char byte : stream) {
            reader.Append(QByteArrayView(&byte, 1));
            for (TNetDecoded next = reader.Next(); next.Error != TNetDecodeError::Incomplete; next = reader.Next()) {
                QCOMPARE(next.Error, TNetDecodeError::None);
                received.push_back(next.Message);
            }
        }
        QCOMPARE(received.size(), sent.size());
        for (std::size_t i = 0; i < sent.size(); ++i)
            QCOMPARE(received[i], sent[i]);
        QCOMPARE(reader.Pending(), 0);
    }

    void readerKeepsItsFirstFault()
    {
        TNetFrameReader reader;
        reader.Append(EncodeFrame(TNetPing{}) + Hex("0001 09") + EncodeFrame(TNetPing{}));
        QCOMPARE(reader.Next().Error, TNetDecodeError::None);
        QCOMPARE(reader.Next().Error, TNetDecodeError::UnknownType);
        // Neither what followed the fault nor what comes later is read.
        QCOMPARE(reader.Next().Error, TNetDecodeError::UnknownType);
        reader.Append(EncodeFrame(TNetPing{}));
        QCOMPARE(reader.Next().Error, TNetDecodeError::UnknownType);
    }

    void readerCountsAFrameBegun()
    {
        TNetFrameReader reader;
        const QByteArray move = EncodeFrame(TNetMove{1, {{1, 1}, {2, 1}}, 7});
        reader.Append(EncodeFrame(TNetPing{}) + move.left(5));
        QCOMPARE(reader.Next().Error, TNetDecodeError::None);
        QCOMPARE(reader.Next().Error, TNetDecodeError::Incomplete);
        QCOMPARE(reader.Pending(), 5);
        reader.Append(move.mid(5));
        QCOMPARE(reader.Next().Error, TNetDecodeError::None);
        QCOMPARE(reader.Pending(), 0);
    }
};

QTEST_GUILESS_MAIN(ProtocolTest)
#include "ProtocolTest.moc"
