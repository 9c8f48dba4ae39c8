// The program file's version block and icon, read back from a test program that links the same.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<char> OwnVersionBlock() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_GT(length, 0u);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> block(size);
    EXPECT_GT(size, 0u) << "no version block in " << path;
    if (size > 0) {
        EXPECT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    }
    return block;
}

std::string StringValue(std::vector<char>& block, const std::string& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\040904B0\\" + name;
    if (block.empty() || !VerQueryValueA(block.data(), query.c_str(), &value, &length) ||
        length == 0) {
        return "(missing)";
    }
    return std::string(static_cast<const char*>(value)); // length counts the NUL
}

class VersionBlock : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(VersionBlock, HoldsText) {
    std::vector<char> block = OwnVersionBlock();
    EXPECT_EQ(StringValue(block, GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, VersionBlock,
    testing::Values(std::pair{"FileVersion", "2.00"}, std::pair{"ProductVersion", "2.00"},
                    std::pair{"ProductName", "Rotaline"}, std::pair{"InternalName", "Rotaline"},
                    std::pair{"OriginalFilename", "rotaline.exe"},
                    std::pair{"CompanyName", "The Rotaline developers"},
                    std::pair{"FileDescription", "Rotaline, the Half-Life map cycle editor"}),
    [](const auto& row) { return std::string(row.param.first); });

TEST(VersionBlockNumbers, AreTwoZeroZeroZeroInUsEnglish) {
    std::vector<char> block = OwnVersionBlock();
    void* value = nullptr;
    UINT length = 0;
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    // US English, Unicode.
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const auto* words = static_cast<const std::uint16_t*>(value);
    EXPECT_EQ(words[0], 0x0409);
    EXPECT_EQ(words[1], 1200);
}

// The icon group's directory as resource files store it (GRPICONDIR and its entries).
#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct IconDirectory {
    WORD reserved;
    WORD type;
    WORD count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

// The 32 x 32 16-colour icon comes first; the larger ones after it are for Explorer's big views.
TEST(ProgramIcon, IsThirtyTwoPixelsInSixteenColoursThenLarger) {
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));
    ASSERT_NE(found, nullptr) << "no icon group 1";
    const auto* directory =
        static_cast<const IconDirectory*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(directory, nullptr);
    EXPECT_EQ(directory->type, 1);
    ASSERT_GE(directory->count, 2);
    const IconDirectoryEntry& icon = directory->entries[0];
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    EXPECT_EQ(icon.colorCount, 16);
    EXPECT_EQ(icon.bitCount, 4);
    for (WORD k = 0; k < directory->count; ++k) {
        const IconDirectoryEntry& entry = directory->entries[k];
        // A width of 0 stands for 256.
        EXPECT_TRUE(k == 0 || entry.width == 0 || entry.width > 32) << "entry " << k;
        const HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(SizeofResource(nullptr, image), entry.bytesInResource);
    }
}

} // namespace
