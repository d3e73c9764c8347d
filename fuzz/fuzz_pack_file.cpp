// Feeds arbitrary bytes to the exercise pack's reader, as if a student had
// opened them. Whatever the bytes, the reader answers with a pack or with a
// reason that names what is wrong; a pack it reads holds only what its limits
// allow, each question one the dialogs would accept; the program can save
// that pack and reading the saved bytes gives back the very same pack; and a
// student's numbers lie within the question's ranges and give a situation
// the workbench's link reader takes.
//
// Input layout: the file's bytes, whole.

#include "Printable.h"
#include "workbench/lessons/Packs.h"
#include "workbench/model/WorkbenchLink.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

namespace packs = workbench::packs;

[[noreturn]] void fail(int line, const char* condition, const QString& detail) {
    std::fprintf(stderr, "fuzz_pack_file.cpp:%d: broken: %s\n  %s\n", line, condition,
                 fuzzing::printable(detail.left(600)).c_str());
    std::abort();
}

#define CHECK(condition, detail)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fail(__LINE__, #condition, detail);                                                    \
        }                                                                                          \
    } while (false)

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const packs::Reading reading = packs::fromJson(bytes);
    if (!reading.pack) {
        CHECK(!reading.problem.isEmpty(), QString::fromUtf8(bytes));
        return 0;
    }
    const packs::Pack& pack = *reading.pack;
    CHECK(int(pack.questions.size()) <= packs::limits::mostQuestions, pack.title);
    CHECK(pack.title.size() <= packs::limits::longestTitle, pack.title);
    for (const packs::Question& q : pack.questions) {
        CHECK(packs::problemOf(q).isEmpty(), q.situation);
    }
    const QByteArray saved = packs::toJson(pack);
    const packs::Reading again = packs::fromJson(saved);
    CHECK(again.pack && *again.pack == pack, again.problem + QString::fromUtf8(saved));
    // Only the first few questions: each draw reads and writes a link.
    for (std::size_t i = 0; i < pack.questions.size() && i < 3; ++i) {
        const packs::Question& q = pack.questions[i];
        const packs::Numbers numbers = packs::draw(pack, q, QStringLiteral("Student"));
        for (packs::Varied v : packs::everyVaried) {
            const auto& range = q.vary[std::size_t(v)];
            const auto& drawn = numbers.drawn[std::size_t(v)];
            CHECK(range.has_value() == drawn.has_value(), q.id);
            CHECK(!drawn || (*drawn >= range->from - 1e-9 && *drawn <= range->to + 1e-9), q.id);
        }
        const QString link = packs::posed(q, numbers).link;
        CHECK(workbench::links::readText(link, 5).load.has_value(), link);
    }
    return 0;
}
