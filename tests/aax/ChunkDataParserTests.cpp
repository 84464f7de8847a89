#include "AAX_CChunkDataParser.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
    using Bytes = std::vector<uint8_t>;

    /** A host-side chunk: the 56-byte header followed by room for the data block. */
    struct ChunkBuffer
    {
        explicit ChunkBuffer (size_t dataBytes) : storage (sizeof (AAX_ChunkRecord) + dataBytes + 16, 0xEE) {}

        AAX_ChunkRecord& record()    { return *reinterpret_cast<AAX_ChunkRecord*> (storage.data()); }
        Bytes block()                { return Bytes (storage.begin() + 56, storage.begin() + 56 + record().dataSize); }

        std::vector<uint8_t> storage;
    };

    Bytes writeChunk (const AAX_CChunkDataParser& parser)
    {
        ChunkBuffer buffer (static_cast<size_t> (parser.GetChunkDataSize()));
        EXPECT_EQ (parser.GetChunkData (buffer.record()), AAX_OK);
        EXPECT_EQ (buffer.record().dataSize, parser.GetChunkDataSize());
        return buffer.block();
    }

    /** Loads a data block given byte for byte, with the data size it claims. */
    AAX_CChunkDataParser readChunk (const Bytes& block, int32_t claimedSize, int32_t version = 3)
    {
        ChunkBuffer buffer (block.size());
        buffer.record().dataSize = claimedSize;
        buffer.record().version = version;
        std::memcpy (buffer.record().data(), block.data(), block.size());

        AAX_CChunkDataParser parser;
        parser.LoadChunk (buffer.record());
        return parser;
    }

    AAX_CChunkDataParser readChunk (const Bytes& block)
    {
        return readChunk (block, static_cast<int32_t> (block.size()));
    }

    Bytes withMarker (std::initializer_list<uint8_t> rest)
    {
        Bytes bytes { 1, 1, 1, 1 };
        bytes.insert (bytes.end(), rest);
        return bytes;
    }
}

TEST (ControlStateChunk, EmptyListWritesTheMarkerOnly)
{
    AAX_CChunkDataParser parser;
    EXPECT_EQ (parser.GetChunkDataSize(), 4);
    EXPECT_EQ (writeChunk (parser), (Bytes { 1, 1, 1, 1 }));
}

TEST (ControlStateChunk, DoubleEntryLayout)
{
    AAX_CChunkDataParser parser;
    parser.AddDouble ("0", 0.5);
    EXPECT_EQ (parser.GetChunkDataSize(), 16);
    EXPECT_EQ (writeChunk (parser), withMarker ({ 'd', '_', '0', 0, 0x3F, 0xE0, 0, 0, 0, 0, 0, 0 }));
}

TEST (ControlStateChunk, NamesArePaddedToFourBytes)
{
    AAX_CChunkDataParser parser;
    parser.AddInt32 ("12", -2);
    EXPECT_EQ (writeChunk (parser), withMarker ({ 'l', '_', '1', '2', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFE }));
}

TEST (ControlStateChunk, StringFloatAndShortLayouts)
{
    AAX_CChunkDataParser parser;
    parser.AddString ("b", "on");
    parser.AddFloat ("f", 1.0f);
    parser.AddInt16 ("s", -2);
    EXPECT_EQ (parser.GetChunkDataSize(), 4 + 8 + 8 + 8);
    EXPECT_EQ (writeChunk (parser), withMarker ({ 'r', '_', 'b', 0, 'o', 'n', 0, 0,
                                                  'f', '_', 'f', 0, 0x3F, 0x80, 0, 0,
                                                  's', '_', 's', 0, 0xFF, 0xFE, 0, 0 }));
}

TEST (ControlStateChunk, RecordSizeAndHeaderFields)
{
    AAX_CChunkDataParser parser;
    parser.AddDouble ("0", 0.25);
    ChunkBuffer buffer (16);
    buffer.record().version = 7;
    buffer.record().hostFields[1] = 0x12345678;
    ASSERT_EQ (parser.GetChunkData (buffer.record()), AAX_OK);
    EXPECT_EQ (buffer.record().dataSize, 16);
    EXPECT_EQ (buffer.record().version, 7);
    EXPECT_EQ (buffer.record().hostFields[1], 0x12345678u);
    EXPECT_EQ (buffer.storage[56 + 16], 0xEE);   // nothing written past the block
}

TEST (ControlStateChunk, RoundTripOfEveryType)
{
    AAX_CChunkDataParser written;
    written.AddDouble ("0", 0.123456789);
    written.AddInt32 ("long name of a parameter", -123456);
    written.AddString ("text", "hello world");
    written.AddFloat ("f", -2.5f);
    written.AddInt16 ("s", 300);
    written.AddString ("empty", "");

    auto read = readChunk (writeChunk (written), written.GetChunkDataSize(), 42);
    EXPECT_EQ (read.GetChunkVersion(), 42);
    ASSERT_EQ (read.GetEntries().size(), 6u);

    double d = 0.0;
    int32_t i = 0;
    AAX_CString s;
    EXPECT_TRUE (read.FindDouble ("0", &d));
    EXPECT_EQ (d, 0.123456789);
    EXPECT_TRUE (read.FindInt32 ("long name of a parameter", &i));
    EXPECT_EQ (i, -123456);
    EXPECT_TRUE (read.FindString ("text", &s));
    EXPECT_STREQ (s.Get(), "hello world");
    EXPECT_TRUE (read.FindString ("empty", &s));
    EXPECT_STREQ (s.Get(), "");

    EXPECT_EQ (read.GetEntries()[3].type, AAX_CChunkDataParser::typeFloat);
    EXPECT_EQ (read.GetEntries()[3].floatValue, -2.5f);
    EXPECT_EQ (read.GetEntries()[4].type, AAX_CChunkDataParser::typeInt16);
    EXPECT_EQ (read.GetEntries()[4].int16Value, 300);

    // Lookups of another type answer false.
    EXPECT_FALSE (read.FindInt32 ("0", &i));
    EXPECT_FALSE (read.FindDouble ("text", &d));
    EXPECT_FALSE (read.FindString ("f", &s));
    EXPECT_FALSE (read.FindDouble ("missing", &d));
}

TEST (ControlStateChunk, UnknownTagIsKeptWithoutAType)
{
    auto read = readChunk (withMarker ({ 'x', '_', 'a', 0, 'd', '_', 'b', 0, 0x3F, 0xF0, 0, 0, 0, 0, 0, 0 }));
    ASSERT_EQ (read.GetEntries().size(), 2u);
    EXPECT_EQ (read.GetEntries()[0].type, AAX_CChunkDataParser::typeUnknown);
    EXPECT_STREQ (read.GetEntries()[0].name.Get(), "a");

    double d = 0.0;
    int32_t i = 0;
    AAX_CString s;
    EXPECT_FALSE (read.FindDouble ("a", &d));
    EXPECT_FALSE (read.FindInt32 ("a", &i));
    EXPECT_FALSE (read.FindString ("a", &s));
    EXPECT_TRUE (read.FindDouble ("b", &d));
    EXPECT_EQ (d, 1.0);
}

TEST (ControlStateChunk, FindIndexSearchesOnFromTheLastMatch)
{
    AAX_CChunkDataParser written;
    for (const char* name : { "a", "b", "c", "d" })
        written.AddInt32 (name, 1);

    auto read = readChunk (writeChunk (written));
    // In this order: the second "b" wraps round to the start.
    for (const auto& [name, index] : { std::pair<const char*, int32_t> { "a", 0 }, { "b", 1 }, { "c", 2 }, { "d", 3 }, { "a", 0 },
                                       { "c", 2 }, { "b", 1 }, { "b", 1 }, { "zz", -1 }, { "d", 3 }, { nullptr, -1 } })
        EXPECT_EQ (read.FindIndex (name), index) << (name != nullptr ? name : "null");

    AAX_CChunkDataParser empty;
    EXPECT_EQ (empty.FindIndex ("a"), -1);
}

TEST (ControlStateChunk, RecordsWithoutEntries)
{
    EXPECT_TRUE (readChunk ({ 1, 1, 1, 1 }).GetEntries().empty());
    EXPECT_TRUE (readChunk (withMarker ({ 'd', '_', '0', 0 }), 4).GetEntries().empty());
    EXPECT_TRUE (readChunk ({ 1, 1, 1, 2, 'l', '_', 'a', 0, 0, 0, 0, 1 }).GetEntries().empty());
    EXPECT_TRUE (readChunk (withMarker ({ 'l', '_', 'a', 0, 0, 0, 0, 1 }), -8).GetEntries().empty());
}

TEST (ControlStateChunk, CorruptChunksKeepTheEntriesReadSoFar)
{
    // A good entry "a" followed by the given bytes.
    const auto afterGood = [] (std::initializer_list<uint8_t> rest)
    {
        auto bytes = withMarker ({ 'l', '_', 'a', 0, 0, 0, 0, 5 });
        bytes.insert (bytes.end(), rest);
        return bytes;
    };

    // A value cut short by the data size.
    auto read = readChunk (afterGood ({ 'd', '_', 'b', 0, 0x3F, 0xF0, 0, 0 }));
    ASSERT_EQ (read.GetEntries().size(), 1u);
    int32_t i = 0;
    EXPECT_TRUE (read.FindInt32 ("a", &i));
    EXPECT_EQ (i, 5);

    // A name whose NUL lies beyond the data size.
    EXPECT_EQ (readChunk (afterGood ({ 'l', '_', 'c', 'c', 'c' })).GetEntries().size(), 1u);

    // A string value without its NUL.
    EXPECT_EQ (readChunk (afterGood ({ 'r', '_', 's', 0, 'o', 'n' })).GetEntries().size(), 1u);

    // A name too long for the reader.
    auto longName = withMarker ({ 'l', '_' });
    longName.insert (longName.end(), 300, 'n');
    longName.insert (longName.end(), { 0, 0, 0, 0, 0, 0, 0, 0 });
    EXPECT_TRUE (readChunk (longName).GetEntries().empty());

    // A short value needs only its two bytes.
    auto shortValue = withMarker ({ 's', '_', 'q', 0, 0x01, 0x02 });
    read = readChunk (shortValue);
    ASSERT_EQ (read.GetEntries().size(), 1u);
    EXPECT_EQ (read.GetEntries()[0].int16Value, 0x0102);

    // A one-byte tag with no name.
    EXPECT_EQ (readChunk (withMarker ({ 'd', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 })).GetEntries().size(), 1u);
}

TEST (ControlStateChunk, ClearingResetsTheList)
{
    AAX_CChunkDataParser parser;
    parser.AddDouble ("0", 1.0);
    EXPECT_EQ (parser.FindIndex ("0"), 0);
    parser.Clear();
    EXPECT_EQ (parser.GetChunkDataSize(), 4);
    EXPECT_EQ (parser.FindIndex ("0"), -1);
}
