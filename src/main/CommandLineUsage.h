#pragma once

#include "ZelvorCore/Models/AppLanguage.h"

#include <ostream>
#include <string>

namespace brisklet {

struct CommandLine;

/// What `brisklet --help` prints. Commands and options stay as they are typed; their descriptions
/// and the headings are in `language`.
std::string usageText(AppLanguage language);

/// The language the usage speaks: --language, else the stored interface language, else the
/// desktop's ($LANGUAGE, $LC_ALL, $LC_MESSAGES, $LANG). Never `system`. A damaged preferences file
/// is set aside and reported on `err`, as every command does.
AppLanguage usageLanguage(const CommandLine& line, std::ostream& err);

} // namespace brisklet
