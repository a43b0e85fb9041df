#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class ImageCodec;
class LanguageIdentifier;
class TextRecognizer;

/// "brisklet ocr IMAGE [--text | --markdown | --json]": prints the text recognised in a PNG or
/// JPEG file ("-" reads the image from `in`). Returns the process exit code.
int runOcrCommand(const std::vector<std::string>& args, const ImageCodec& codec, TextRecognizer& recognizer,
                  const LanguageIdentifier& languages, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace brisklet
