#pragma once

#include <optional>
#include <string>

namespace Zentar
{

// Every link a product of the family can open, by key. Values are stable:
// products keep them in their link tables and settings, so new links get new
// numbers and old numbers are never reused.
// clang-format off
#define ZENTAR_URL_KEYS(X)                    \
    X(HOME_PAGE_URL, 1)                       \
    X(PRODUCT_PAGE_URL, 2)                    \
    X(BUY_URL, 3)                             \
    X(UPGRADE_URL, 4)                         \
    X(RENEW_SUBSCRIPTION_URL, 5)              \
    X(ACTIVATION_HELP_URL, 6)                 \
    X(LICENSE_AGREEMENT_URL, 7)               \
    X(PRIVACY_POLICY_URL, 8)                  \
    X(TERMS_OF_USE_URL, 9)                    \
    X(SUPPORT_URL, 10)                        \
    X(CONTACT_SUPPORT_URL, 11)                \
    X(KNOWLEDGE_BASE_URL, 12)                 \
    X(FAQ_URL, 13)                            \
    X(USER_GUIDE_URL, 14)                     \
    X(ONLINE_HELP_URL, 15)                    \
    X(VIDEO_TUTORIALS_URL, 16)                \
    X(GETTING_STARTED_URL, 17)                \
    X(WHATS_NEW_URL, 18)                      \
    X(RELEASE_NOTES_URL, 19)                  \
    X(SYSTEM_REQUIREMENTS_URL, 20)            \
    X(DOWNLOAD_URL, 21)                       \
    X(DOWNLOAD_LATEST_VERSION_URL, 22)        \
    X(UPDATE_CHECK_URL, 23)                   \
    X(UPDATE_INFO_URL, 24)                    \
    X(FORUM_URL, 25)                          \
    X(BLOG_URL, 26)                           \
    X(NEWSLETTER_SUBSCRIBE_URL, 27)           \
    X(NEWSLETTER_UNSUBSCRIBE_URL, 28)         \
    X(FEEDBACK_URL, 29)                       \
    X(BUG_REPORT_URL, 30)                     \
    X(FEATURE_REQUEST_URL, 31)                \
    X(THANK_FOR_INSTALL_URL, 32)              \
    X(THANK_FOR_REINSTALL_URL, 33)            \
    X(THANK_FOR_UPDATE_URL, 34)               \
    X(THANK_FOR_PURCHASE_URL, 35)             \
    X(UNINSTALL_SURVEY_URL, 36)               \
    X(TRIAL_EXPIRED_URL, 37)                  \
    X(TRIAL_INFO_URL, 38)                     \
    X(REGISTRATION_URL, 39)                   \
    X(ACCOUNT_URL, 40)                        \
    X(LOGIN_URL, 41)                          \
    X(PASSWORD_RESET_URL, 42)                 \
    X(EMAIL_CONFIRMATION_URL, 43)             \
    X(EMAIL_PRIVACY_NOTICE_URL, 44)           \
    X(LOST_LICENSE_KEY_URL, 45)               \
    X(REFUND_POLICY_URL, 46)                  \
    X(EDUCATIONAL_DISCOUNT_URL, 47)           \
    X(BUSINESS_LICENSE_URL, 48)               \
    X(AFFILIATE_PROGRAM_URL, 49)              \
    X(SPECIAL_OFFER_URL, 50)                  \
    X(BUNDLE_OFFER_URL, 51)                   \
    X(RELATED_PRODUCTS_URL, 52)               \
    X(ALL_PRODUCTS_URL, 53)                   \
    X(ABOUT_COMPANY_URL, 54)                  \
    X(PRESS_URL, 55)                          \
    X(SOCIAL_NETWORK_PAGE_URL, 56)            \
    X(MICROBLOG_PAGE_URL, 57)                 \
    X(VIDEO_CHANNEL_URL, 58)                  \
    X(PHOTO_GALLERY_PAGE_URL, 59)             \
    X(RATE_PRODUCT_URL, 60)                   \
    X(SHARE_PRODUCT_URL, 61)                  \
    X(TRANSLATION_HELP_URL, 62)               \
    X(LANGUAGE_PACKS_URL, 63)                 \
    X(THEMES_GALLERY_URL, 64)                 \
    X(EFFECTS_STORE_URL, 65)                  \
    X(TEMPLATES_STORE_URL, 66)                \
    X(MUSIC_LIBRARY_URL, 67)                  \
    X(STOCK_MEDIA_URL, 68)                    \
    X(PLUGINS_URL, 69)                        \
    X(CODECS_HELP_URL, 70)                    \
    X(SUPPORTED_FORMATS_URL, 71)              \
    X(HARDWARE_ACCELERATION_HELP_URL, 72)     \
    X(GPU_DRIVER_SETUP_URL, 73)               \
    X(GPU_DRIVER_UNSUPPORTED_URL, 74)         \
    X(GPU_DRIVER_DOWNLOAD_URL, 75)            \
    X(GPU_COMPATIBILITY_URL, 76)              \
    X(OPENGL_HELP_URL, 77)                    \
    X(TOUCH_GESTURES_HELP_URL, 78)            \
    X(KEYBOARD_SHORTCUTS_URL, 79)             \
    X(TROUBLESHOOTING_URL, 80)                \
    X(CRASH_REPORT_HELP_URL, 81)              \
    X(PERFORMANCE_TIPS_URL, 82)               \
    X(BACKUP_HELP_URL, 83)                    \
    X(IMPORT_HELP_URL, 84)                    \
    X(EXPORT_HELP_URL, 85)                    \
    X(SHARING_HELP_URL, 86)                   \
    X(CLOUD_STORAGE_URL, 87)                  \
    X(MOBILE_APP_URL, 88)                     \
    X(BETA_PROGRAM_URL, 89)                   \
    X(COMMUNITY_URL, 90)                      \
    X(WEBINARS_URL, 91)                       \
    X(COURSES_URL, 92)                        \
    X(GIFT_URL, 93)                           \
    X(SUBSCRIPTION_MANAGEMENT_URL, 94)        \
    X(PAYMENT_HELP_URL, 95)                   \
    X(INVOICE_URL, 96)                        \
    X(COOKIE_POLICY_URL, 97)                  \
    X(ACCESSIBILITY_URL, 98)                  \
    X(SECURITY_ADVISORIES_URL, 99)            \
    X(OPEN_SOURCE_NOTICES_URL, 100)           \
    X(DATA_DELETION_REQUEST_URL, 101)         \
    X(UNINSTALL_HELP_URL, 102)                \
    X(PROMO_CAMPAIGN_URL, 103)
// clang-format on

/// The link keys, named and numbered by ZENTAR_URL_KEYS.
enum class URLKeys : int {
#define ZENTAR_URL_KEY_ENUMERATOR(name, value) name = value,
    ZENTAR_URL_KEYS(ZENTAR_URL_KEY_ENUMERATOR)
#undef ZENTAR_URL_KEY_ENUMERATOR
};

/// The lowest key value.
constexpr int FIRST_URL_KEY = 1;
/// The highest key value.
constexpr int LAST_URL_KEY = 103;

/// The key's name ("THANK_FOR_INSTALL_URL"); empty for a value outside
/// FIRST_URL_KEY..LAST_URL_KEY.
std::string URLKeyName(URLKeys key);
/// The key of a name; nothing for an unknown name. Case-sensitive.
std::optional<URLKeys> URLKeyFromName(const std::string& name);

} // namespace Zentar
