#include "ZelvorApp/Background/BackgroundTemplate.h"

namespace brisklet {

const std::vector<BackgroundTemplate>& BackgroundTemplate::all() {
    using P = BackgroundTemplatePreset;
    using F = BackgroundFrameStyle;
    static const std::vector<BackgroundTemplate> templates{
        {P::xPost, "X Post", L10nKey::backgroundTemplateXPost, CanvasAspectPreset::custom(1200, 628), F::browserDark,
         64, 60, 20},
        {P::linkedInPost, "LinkedIn Post", L10nKey::backgroundTemplateLinkedInPost,
         CanvasAspectPreset::custom(1200, 627), F::browserLight, 72, 58, 20},
        {P::productHuntGallery, "Product Hunt", L10nKey::backgroundTemplateProductHunt,
         CanvasAspectPreset::custom(1270, 760), F::browserLight, 72, 56, 22},
        {P::wechatCover, "微信封面", L10nKey::backgroundTemplateWechatCover, CanvasAspectPreset::custom(900, 383),
         F::none, 64, 46, 18},
        {P::xiaohongshuCover, "小红书封面", L10nKey::backgroundTemplateXiaohongshuCover,
         CanvasAspectPreset::custom(1080, 1440), F::none, 88, 44, 18},
    };
    return templates;
}

std::optional<BackgroundTemplate> BackgroundTemplate::templateFor(BackgroundTemplatePreset preset) {
    for (const auto& candidate : all()) {
        if (candidate.id == preset) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace brisklet
