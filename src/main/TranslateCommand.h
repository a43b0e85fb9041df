#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class LocalizationStore;
class Translator;

/// "brisklet translate --to LANG [--from LANG]": translates the text on `in` and prints the
/// translation. Returns the process exit code.
int runTranslateCommand(const std::vector<std::string>& args, Translator& translator,
                        const LocalizationStore& localization, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace brisklet
