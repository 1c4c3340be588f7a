// The JSON reader and writers over the public JSONTestSuite and JSON_checker files.
#include "documents/json/reader.h"
#include "documents/json/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tarn::json {
namespace {

namespace fs = std::filesystem;

const fs::path corpora = TARN_CORPORA_DIR;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(fs::file_size(path)), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

std::vector<fs::path> filesStartingWith(const fs::path& folder, const std::string& prefix) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.path().extension() == ".json") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Rejected inputs that this reader takes on purpose, with the reason.
const std::map<std::string, std::string>& acceptedOnPurpose() {
    static const std::map<std::string, std::string> files = {
        // The standard decimal conversion's grammar is the number grammar.
        {"n_number_-01.json", "leading zero"},
        {"n_number_-2..json", "bare trailing point"},
        {"n_number_-NaN.json", "nan after a minus sign"},
        {"n_number_0.e1.json", "point without fraction digits"},
        {"n_number_2.e+3.json", "point without fraction digits"},
        {"n_number_2.e-3.json", "point without fraction digits"},
        {"n_number_2.e3.json", "point without fraction digits"},
        {"n_number_minus_infinity.json", "infinity after a minus sign"},
        {"n_number_neg_int_starting_with_zero.json", "leading zero"},
        {"n_number_neg_real_without_int_part.json", "fraction without integer digits after a minus sign"},
        {"n_number_real_without_fractional_part.json", "bare trailing point"},
        {"n_number_with_leading_zero.json", "leading zero"},
        // Any other escaped character stands for itself.
        {"n_string_backslash_00.json", "unknown escape"},
        {"n_string_escape_x.json", "unknown escape"},
        {"n_string_escaped_ctrl_char_tab.json", "unknown escape"},
        {"n_string_escaped_emoji.json", "unknown escape"},
        {"n_string_invalid_backslash_esc.json", "unknown escape"},
        {"n_string_invalid_utf8_after_escape.json", "unknown escape"},
        {"n_string_unicode_CapitalU.json", "unknown escape"},
        // Bytes inside strings are taken unchanged, control bytes included.
        {"n_string_unescaped_ctrl_char.json", "raw control byte"},
        {"n_string_unescaped_newline.json", "raw control byte"},
        {"n_string_unescaped_tab.json", "raw control byte"},
        {"fail13.json", "leading zero"},
        {"fail15.json", "unknown escape"},
        {"fail17.json", "unknown escape"},
        {"fail25.json", "raw control byte"},
        {"fail26.json", "raw control byte"},
        {"fail27.json", "raw control byte"},
        {"fail28.json", "unknown escape (backslash before a line break)"},
        // Valid JSON by RFC 8259, though the checker lists them as failures.
        {"fail1.json", "a top-level string is valid JSON"},
        {"fail18.json", "20 levels are within the depth limit"},
    };
    return files;
}

// Valid inputs refused on purpose: an object never holds two members with the same key.
const std::map<std::string, std::string>& refusedOnPurpose() {
    static const std::map<std::string, std::string> files = {
        {"y_object_duplicated_key.json", "duplicate key"},
        {"y_object_duplicated_key_and_value.json", "duplicate key"},
    };
    return files;
}

// What parses writes back, re-parses and writes back to the same text.
void expectFixedPoint(const Value& value, const std::string& name) {
    const std::string written = write(value);
    Value again;
    std::string error;
    ASSERT_TRUE(parse(written, again, error)) << name << ": " << error;
    EXPECT_EQ(write(again), written) << name;
    ASSERT_TRUE(parse(writeIndented(value), again, error)) << name << ": " << error;
    EXPECT_EQ(write(again), written) << name;
}

// The number text of a file that holds one array of one number ("[1E6]"), else empty.
std::string loneNumberText(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return {};
    const std::string inner = text.substr(1, text.size() - 2);
    if (inner.find_first_not_of("-+.eE0123456789") != std::string::npos) return {};
    return inner;
}

struct Verdict {
    bool parsed = false;
    std::string error;
};

Verdict readAndCheck(const fs::path& path) {
    Value value;
    Verdict verdict;
    verdict.parsed = parse(readFile(path), value, verdict.error);
    if (verdict.parsed) expectFixedPoint(value, path.filename().string());
    return verdict;
}

TEST(JsonCorpus, TestSuiteAcceptsValidFiles) {
    const auto files = filesStartingWith(corpora / "jsontestsuite" / "test_parsing", "y_");
    ASSERT_GE(files.size(), 90u);
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        const Verdict verdict = readAndCheck(path);
        if (refusedOnPurpose().count(name))
            EXPECT_EQ(verdict.error, "duplicate key \"a\"") << name;
        else
            EXPECT_TRUE(verdict.parsed) << name << ": " << verdict.error;
    }
}

TEST(JsonCorpus, TestSuiteRefusesInvalidFilesButTheListedOnes) {
    const auto files = filesStartingWith(corpora / "jsontestsuite" / "test_parsing", "n_");
    ASSERT_GE(files.size(), 180u);
    std::size_t accepted = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        const Verdict verdict = readAndCheck(path);
        const bool expected = acceptedOnPurpose().count(name) != 0;
        EXPECT_EQ(verdict.parsed, expected) << name << ": " << verdict.error;
        accepted += verdict.parsed;
    }
    EXPECT_EQ(accepted, 22u);
}

TEST(JsonCorpus, TestSuiteImplementationDefinedFilesNeverCrash) {
    const auto files = filesStartingWith(corpora / "jsontestsuite" / "test_parsing", "i_");
    ASSERT_GE(files.size(), 30u);
    for (const auto& path : files) {
        const Verdict verdict = readAndCheck(path);
        EXPECT_TRUE(verdict.parsed || !verdict.error.empty()) << path.filename();
    }
    // Numbers outside the double range are refused, huge integers are kept as written.
    EXPECT_EQ(readAndCheck(corpora / "jsontestsuite/test_parsing/i_number_real_pos_overflow.json").error,
              "invalid number");
    EXPECT_TRUE(readAndCheck(corpora / "jsontestsuite/test_parsing/i_number_too_big_pos_int.json").parsed);
    EXPECT_EQ(readAndCheck(corpora / "jsontestsuite/test_parsing/i_structure_500_nested_arrays.json").error,
              "document nested too deep");
}

TEST(JsonCorpus, DeepFilesFailWithoutOverflowingTheStack) {
    for (const char* name : {"n_structure_100000_opening_arrays.json", "n_structure_open_array_object.json"})
        EXPECT_EQ(readAndCheck(corpora / "jsontestsuite" / "test_parsing" / name).error, "document nested too deep")
            << name;
}

TEST(JsonCorpus, CheckerPassAndFailFiles) {
    const fs::path folder = corpora / "json-checker";
    for (const auto& path : filesStartingWith(folder, "pass"))
        EXPECT_TRUE(readAndCheck(path).parsed) << path.filename();
    const auto failFiles = filesStartingWith(folder, "fail");
    ASSERT_EQ(failFiles.size(), 33u);
    for (const auto& path : failFiles) {
        const std::string name = path.filename().string();
        EXPECT_EQ(readAndCheck(path).parsed, acceptedOnPurpose().count(name) != 0) << name;
    }
}

TEST(JsonCorpus, TransformFilesKeepTheirNumberSpellings) {
    const fs::path folder = corpora / "jsontestsuite" / "test_transform";
    std::size_t numbers = 0;
    for (const auto& path : filesStartingWith(folder, "")) {
        const std::string name = path.filename().string();
        const std::string text = readFile(path);
        Value value;
        std::string error;
        const bool parsed = parse(text, value, error);
        if (name == "number_1e-999.json") {
            // Below the smallest double: the conversion reports it out of range.
            EXPECT_EQ(error, "invalid number");
            continue;
        }
        if (name.rfind("object_same_key", 0) == 0) {
            EXPECT_EQ(error, "duplicate key \"a\"") << name;
            continue;
        }
        if (name == "string_2_escaped_invalid_codepoints.json" || name == "string_3_escaped_invalid_codepoints.json") {
            // A high surrogate escape followed by an escape that is not a low surrogate.
            EXPECT_EQ(error, "unpaired surrogate") << name;
            continue;
        }
        ASSERT_TRUE(parsed) << name << ": " << error;
        expectFixedPoint(value, name);
        const std::string number = loneNumberText(text);
        if (!number.empty()) {
            std::string expected = "[";
            expected += number;
            expected += ']';
            EXPECT_EQ(write(value), expected) << name;
            ++numbers;
        }
    }
    EXPECT_GE(numbers, 9u);
}

}  // namespace
}  // namespace tarn::json
