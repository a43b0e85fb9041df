#include "ZelvorApp/Updater/AppUpdaterError.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

namespace {

using namespace updater_error;

template <class... Cases> struct Overloaded : Cases... { using Cases::operator()...; };
template <class... Cases> Overloaded(Cases...) -> Overloaded<Cases...>;

std::string installerReason(const StartInstallerFailed& failure, const LocalizationStore& l10n) {
    using Reason = StartInstallerFailed::Reason;
    switch (failure.reason) {
    case Reason::notAuthorized:
        return l10n.text(L10nKey::updaterInstallerNotAuthorized);
    case Reason::toolMissing:
        return l10n.text(L10nKey::updaterInstallerUnavailable);
    case Reason::unsupportedPackage:
        return l10n.format(L10nKey::updaterInstallerUnsupportedPackage, {failure.detail});
    case Reason::wrongPackage:
        return l10n.format(L10nKey::updaterInstallerWrongPackage, {failure.detail, failure.expected});
    case Reason::other:
        break;
    }
    return failure.detail;
}

const char* reasonName(StartInstallerFailed::Reason reason) {
    using Reason = StartInstallerFailed::Reason;
    switch (reason) {
    case Reason::notAuthorized:
        return "notAuthorized";
    case Reason::toolMissing:
        return "toolMissing";
    case Reason::unsupportedPackage:
        return "unsupportedPackage";
    case Reason::wrongPackage:
        return "wrongPackage";
    case Reason::other:
        break;
    }
    return "other";
}

} // namespace

ErrorDescriptor describe(const AppUpdaterError& error) {
    return std::visit([](const auto& failure) { return ErrorDescriptor(failure); }, error);
}

std::string localizedMessage(const ErrorDescriptor& descriptor, const LocalizationStore& l10n) {
    using K = L10nKey;
    return std::visit(
        Overloaded{
            [&](const NoInstallerAsset& e) { return l10n.format(K::updaterErrorNoInstallerAsset, {e.version}); },
            [&](const InvalidRepository& e) { return l10n.format(K::updaterErrorInvalidRepository, {e.repository}); },
            [&](const ReleaseNotFound& e) { return l10n.format(K::updaterErrorReleaseNotFound, {e.source}); },
            [&](const HttpStatus& e) { return l10n.format(K::updaterErrorHttpStatus, {e.status}); },
            [&](const AssetDownloadFailed& e) {
                return l10n.format(K::updaterErrorAssetDownloadFailed, {e.assetName, e.status});
            },
            [&](const StartInstallerFailed& e) {
                return l10n.format(K::updaterErrorStartInstallerFailed, {installerReason(e, l10n)});
            },
            [&](const Generic& e) { return l10n.format(K::updaterErrorGeneric, {e.message}); },
            [&](const InstallRequiresCheck&) { return l10n.text(K::updaterErrorInstallRequiresCheck); },
            [&](const AssetStateMissing&) { return l10n.text(K::updaterErrorAssetStateMissing); },
            [&](const ServerUnreachable& e) { return l10n.format(K::updaterErrorServerUnreachable, {e.description}); },
            [&](const InvalidRelease& e) { return l10n.format(K::updaterErrorInvalidRelease, {e.description}); },
            [&](const AssetTransferFailed& e) {
                return l10n.format(K::updaterErrorAssetTransferFailed, {e.assetName, e.description});
            },
            [&](const AssetSizeMismatch& e) {
                return l10n.format(K::updaterErrorAssetSizeMismatch,
                                   {e.assetName, static_cast<long long>(e.receivedByteCount),
                                    static_cast<long long>(e.expectedByteCount)});
            },
            [&](const InstallerFailed& e) {
                return l10n.format(K::updaterErrorInstallerFailed, {e.exitCode, e.output});
            },
            [&](const NotInstalled& e) {
                return l10n.format(K::updaterErrorNotInstalled, {e.expectedVersion, e.runningVersion});
            },
        },
        descriptor);
}

std::string logDescription(const ErrorDescriptor& descriptor) {
    return std::visit(
        Overloaded{
            [](const NoInstallerAsset& e) { return "noInstallerAsset version=" + e.version; },
            [](const InvalidRepository& e) { return "invalidRepository repository=" + e.repository; },
            [](const ReleaseNotFound& e) { return "releaseNotFound source=" + e.source; },
            [](const HttpStatus& e) { return "httpStatus status=" + std::to_string(e.status); },
            [](const AssetDownloadFailed& e) {
                return "assetDownloadFailed asset=" + e.assetName + " status=" + std::to_string(e.status);
            },
            [](const StartInstallerFailed& e) {
                return std::string("startInstallerFailed reason=") + reasonName(e.reason) + " detail=" + e.detail;
            },
            [](const Generic& e) { return "generic message=" + e.message; },
            [](const InstallRequiresCheck&) { return std::string("installRequiresCheck"); },
            [](const AssetStateMissing&) { return std::string("assetStateMissing"); },
            [](const ServerUnreachable& e) { return "serverUnreachable error=" + e.description; },
            [](const InvalidRelease& e) { return "invalidRelease error=" + e.description; },
            [](const AssetTransferFailed& e) {
                return "assetTransferFailed asset=" + e.assetName + " error=" + e.description;
            },
            [](const AssetSizeMismatch& e) {
                return "assetSizeMismatch asset=" + e.assetName + " expected=" + std::to_string(e.expectedByteCount) +
                       " received=" + std::to_string(e.receivedByteCount);
            },
            [](const InstallerFailed& e) {
                return "installerFailed exitCode=" + std::to_string(e.exitCode) + " output=" + e.output;
            },
            [](const NotInstalled& e) {
                return "notInstalled expected=" + e.expectedVersion + " running=" + e.runningVersion;
            },
        },
        descriptor);
}

} // namespace brisklet
