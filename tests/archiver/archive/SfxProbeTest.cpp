// The self-extractor probe against generated and mutated programs: every read
// lies inside the file, an answer points at a signature, the file on disk reads
// as its bytes in memory, and the archive behind a well-formed program is found.
#include <gtest/gtest.h>

#include "archive/SfxProbe.h"
#include "properties/SfxProbeProperties.h"
#include "support/ArchiveTestSupport.h"
#include "support/GeneratedInput.h"

using namespace ArchiveTest;

namespace {
void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}
void Put16(std::string& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<char>(value);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// A program image of `sections` sections with the given raw extents, followed
// by an archive's signature where the last section's data ends.
std::string MakeProgram(InputGenerator& generator, uint64_t& archiveAt) {
    const uint16_t sections = static_cast<uint16_t>(1 + generator.Below(6));
    const uint32_t peOffset = 0x40 + 8 * generator.Below(32);
    const uint16_t optionalSize = static_cast<uint16_t>(generator.Pick(std::vector<uint32_t>{0, 0xE0, 0xF0}));
    const uint32_t table = peOffset + 24 + optionalSize;
    uint32_t end = (table + 40 * sections + 0x1FF) & ~0x1FFu;
    std::string bytes(end, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 0x3C, peOffset);
    bytes.replace(peOffset, 4, std::string("PE\0\0", 4));
    Put16(bytes, peOffset + 6, sections);
    Put16(bytes, peOffset + 20, optionalSize);
    for (uint16_t i = 0; i < sections; ++i) {
        const uint32_t size = 0x200 * (1 + generator.Below(8));
        Put32(bytes, table + 40 * i + 16, size);
        Put32(bytes, table + 40 * i + 20, end);
        end += size;
    }
    bytes.resize(end, 'x');
    archiveAt = end;
    bytes.append(reinterpret_cast<const char*>(k7zSignature), sizeof k7zSignature);
    bytes.append(26, '\0');
    return bytes;
}
}  // namespace

TEST(SfxProbe, GeneratedAndMutatedProgramsAreProbedWithinTheirBytes) {
    std::wstring folder = FreshFolder(L"sfx-probe-generated");
    std::vector<std::string> seeds = ReadCorpus("sfx_probe");
    seeds.push_back(ReadFile(SfxModulePath()).substr(0, 4096));
    const std::vector<std::string> fragments = {"MZ", std::string("PE\0\0", 4), "\xFF\xFF\xFF\xFF",
                                                std::string(reinterpret_cast<const char*>(k7zSignature), 6),
                                                std::string(8, '\0'), "\x60\x00"};
    InputGenerator generator(7001);
    int found = 0;
    for (int i = 0; i < 4000; ++i) {
        uint64_t archiveAt = 0;
        const bool wellFormed = generator.OneIn(3);
        std::string program = wellFormed ? MakeProgram(generator, archiveAt)
                                         : generator.Mutate(generator.OneIn(2) ? generator.Pick(seeds)
                                                                               : MakeProgram(generator, archiveAt),
                                                            fragments);
        ASSERT_EQ(SfxProbeProperties::Check(program), "") << "input " << i;
        SfxProbeProperties::MemorySource memory(program);
        const std::optional<uint64_t> inMemory = FindEmbeddedArchiveIn(memory);
        if (wellFormed) {
            ASSERT_EQ(inMemory, std::optional<uint64_t>(archiveAt)) << "input " << i;
            ++found;
        }
        if (i % 20 == 0) {
            WriteFile(folder + L"\\program.exe", program);
            ASSERT_EQ(FindEmbeddedArchive(folder + L"\\program.exe"), inMemory) << "input " << i;
        }
    }
    EXPECT_GT(found, 1000);
    // A program of 64 KiB and more is searched in its block from 64 KiB on first.
    std::string large(70000, 'x');
    large.replace(65536 + 100, 6, reinterpret_cast<const char*>(k7zSignature), 6);
    ASSERT_EQ(SfxProbeProperties::Check(large), "");
    SfxProbeProperties::MemorySource memory(large);
    EXPECT_EQ(FindEmbeddedArchiveIn(memory), std::optional<uint64_t>(65636));
}
