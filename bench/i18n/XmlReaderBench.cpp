// Load + the 117 lookups of a language load, for the English file and for a
// large document, with our reader and with pugixml side by side.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <string>

#include "i18n/LanguageTable.h"
#include "i18n/XmlReader.h"

namespace {

const std::filesystem::path kLanguageFile = std::filesystem::path(QX_APP_DIR) / "Language/en.xml";

// About 6 MB: many records with text, references and comments before the
// "config" element, so every lookup has to walk past them.
bool largeFileMade = false;

const std::filesystem::path& LargeFile() {
    static const std::filesystem::path path = [] {
        largeFileMade = true;
        auto file = std::filesystem::temp_directory_path() /
                    ("qx-bench-large-" + std::to_string(getpid()) + ".xml");
        std::ofstream out(file, std::ios::binary);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<language>\n";
        for (int i = 0; i < 60000; ++i)
            out << "  <record id=\"" << i << "\"><name>Macro " << i
                << " &amp; more</name><!-- c --><events>C0 04 00 00 A0 32 00 00 E0 04 00 "
                   "00</events></record>\n";
        out << "  <config>\n";
        for (const auto key : qx::kLanguageKeys)
            out << "    <" << key << ">Text of " << key << "</" << key << ">\n";
        out << "  </config>\n</language>\n";
        return file;
    }();
    return path;
}

void QxLoadAndLookUp(benchmark::State& state, const std::filesystem::path& path) {
    for (auto _ : state) {
        qx::XmlReader reader;
        reader.LoadXmlFile(path);
        std::size_t total = 0;
        for (const auto key : qx::kLanguageKeys)
            total += reader.ReadChildText("config", key).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void PugiLoadAndLookUp(benchmark::State& state, const std::filesystem::path& path) {
    for (auto _ : state) {
        pugi::xml_document document;
        document.load_file(path.c_str());
        // The same lookups as ReadChildText: the parent is found again for every key.
        std::size_t total = 0;
        for (const auto key : qx::kLanguageKeys) {
            const pugi::xml_node config = document.document_element().child("config");
            total += std::string_view(config.child(std::string(key).c_str()).child_value()).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_Qx_LanguageFile(benchmark::State& state) {
    QxLoadAndLookUp(state, kLanguageFile);
}
void BM_Pugi_LanguageFile(benchmark::State& state) {
    PugiLoadAndLookUp(state, kLanguageFile);
}
void BM_Qx_LargeDocument(benchmark::State& state) {
    QxLoadAndLookUp(state, LargeFile());
}
void BM_Pugi_LargeDocument(benchmark::State& state) {
    PugiLoadAndLookUp(state, LargeFile());
}

// Reading and indexing alone.
void BM_Qx_LargeDocumentLoadOnly(benchmark::State& state) {
    for (auto _ : state) {
        qx::XmlReader reader;
        benchmark::DoNotOptimize(reader.LoadXmlFile(LargeFile()));
    }
}
void BM_Pugi_LargeDocumentLoadOnly(benchmark::State& state) {
    for (auto _ : state) {
        pugi::xml_document document;
        benchmark::DoNotOptimize(document.load_file(LargeFile().c_str()));
    }
}

// The whole language load as the utility does it.
void BM_Qx_LoadLanguageFile(benchmark::State& state) {
    qx::Localization language;
    for (auto _ : state) qx::LoadLanguageFile(language, kLanguageFile);
}

BENCHMARK(BM_Qx_LanguageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pugi_LanguageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qx_LoadLanguageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Qx_LargeDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugi_LargeDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Qx_LargeDocumentLoadOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pugi_LargeDocumentLoadOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (largeFileMade) std::filesystem::remove(LargeFile());
    return 0;
}
