#include "main/AnnotateCommand.h"

#include "main/CommandImageInput.h"
#include "main/QtHeadless.h"

#include "Platform/AnnotationRenderer.h"
#include "Platform/ImageCodec.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace brisklet {

namespace {

constexpr std::size_t maximumItemsDocumentBytes = 64u << 20;
constexpr const char* usage = "brisklet: usage: brisklet annotate IMAGE --items ITEMS.json -o OUT.png [--enhance]\n";

struct AnnotateArguments {
    std::string image;
    std::string items;
    std::string output;
    bool enhance = false;
};

/// Takes "--name VALUE" or "--name=VALUE"; returns false when `arg` is not this option.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::initializer_list<std::string_view> names,
               std::string& out, bool& missing) {
    const std::string& arg = args[i];
    for (const auto name : names) {
        const std::string prefix = std::string(name) + "=";
        if (arg.rfind(prefix, 0) == 0) {
            out = arg.substr(prefix.size());
            missing = out.empty();
            return true;
        }
        if (arg == name) {
            missing = i + 1 >= args.size();
            if (!missing) {
                out = args[++i];
            }
            return true;
        }
    }
    return false;
}

std::optional<AnnotateArguments> parse(const std::vector<std::string>& args, std::ostream& err) {
    AnnotateArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool missing = false;
        if (takeValue(args, i, {"--items"}, parsed.items, missing) ||
            takeValue(args, i, {"-o", "--output"}, parsed.output, missing)) {
            if (missing) {
                err << "brisklet: " << args[i] << " needs a file name\n";
                return std::nullopt;
            }
        } else if (args[i] == "--enhance") {
            parsed.enhance = true;
        } else if (args[i].rfind("-", 0) == 0 || !parsed.image.empty()) {
            err << "brisklet: unexpected argument '" << args[i] << "'\n";
            return std::nullopt;
        } else {
            parsed.image = args[i];
        }
    }
    if (parsed.image.empty() || parsed.items.empty() || parsed.output.empty()) {
        return std::nullopt;
    }
    return parsed;
}

std::optional<std::string> readSmallFile(const std::string& file, std::ostream& err) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "brisklet: cannot read " << file << "\n";
        return std::nullopt;
    }
    std::string bytes(maximumItemsDocumentBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maximumItemsDocumentBytes) {
        err << "brisklet: " << file << " is larger than 64 MB; that is not an annotation list\n";
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<AnnotationItem>> readItems(const std::string& file, std::ostream& err) {
    const auto bytes = readSmallFile(file, err);
    if (!bytes) {
        return std::nullopt;
    }
    Json document;
    try {
        document = json::parse(*bytes);
    } catch (const json::DecodeError& error) {
        err << "brisklet: " << file << " is not valid JSON: " << error.what() << "\n";
        return std::nullopt;
    }
    if (!document.is_object() || !document.contains("items") || !document["items"].is_array()) {
        err << "brisklet: " << file << " must be an object with an \"items\" array\n";
        return std::nullopt;
    }
    std::vector<AnnotationItem> items;
    const Json& list = document["items"];
    for (std::size_t i = 0; i < list.size(); ++i) {
        AnnotationItem item;
        try {
            read(list[i], item);
        } catch (const json::DecodeError& error) {
            const std::string kind =
                list[i].is_object() && list[i].size() == 1 ? " (" + list[i].begin().key() + ")" : "";
            err << "brisklet: " << file << ": items[" << i << "]" << kind << ": " << error.what() << "\n";
            return std::nullopt;
        }
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace

int runAnnotateCommand(const std::vector<std::string>& args, const ImageCodec& codec,
                       const AnnotationRenderer& renderer, std::ostream& out, std::ostream& err) {
    const auto parsed = parse(args, err);
    if (!parsed) {
        err << usage;
        return 2;
    }
    std::error_code ignored;
    if (std::filesystem::exists(parsed->output, ignored)) {
        err << "brisklet: " << parsed->output << " already exists; choose a new file name\n";
        return 1;
    }
    const auto items = readItems(parsed->items, err);
    if (!items) {
        return 1;
    }
    const auto image = readCommandInputImage(codec, parsed->image, err);
    if (!image) {
        return 1;
    }
    const auto flattened = renderer.flatten(*image, *items, {parsed->enhance});
    if (!flattened) {
        err << "brisklet: the annotations could not be drawn (" << toString(flattened.error()) << ")\n";
        return 1;
    }
    const auto png = codec.encode(flattened.value(), ImageFormat::png);
    if (!png) {
        err << "brisklet: the image could not be encoded as PNG (" << toString(png.error()) << ")\n";
        return 1;
    }
    if (const auto error = writeNewFileAtomically(parsed->output, png.value())) {
        if (error == std::errc::file_exists) {
            err << "brisklet: " << parsed->output << " already exists; choose a new file name\n";
        } else {
            err << "brisklet: cannot write " << parsed->output << ": " << error.message() << "\n";
        }
        return 1;
    }
    out << "Annotated " << items->size() << (items->size() == 1 ? " item" : " items") << " into " << parsed->output
        << "\n";
    return 0;
}

int runAnnotateCommandHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto application = startHeadlessGuiApplication();
    const LinuxImageCodec codec;
    const QtAnnotationRenderer renderer;
    return runAnnotateCommand(args, codec, renderer, out, err);
}

} // namespace brisklet
