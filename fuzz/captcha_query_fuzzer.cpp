// The captcha fields as the login and a message carry them: any typed code
// must come back whole, after the picture number, and add no field; the
// picture request for any number; the picture check for any body.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "api/message_text.h"
#include "base/constants.h"
#include "fuzz/fuzz_checks.h"
#include "net/captcha_logic.h"
#include "net/session_logic.h"

using fuzz::Check;
using fuzz::CheckRequest;
using fuzz::FieldNames;
using fuzz::QueryField;

namespace {

void CheckCaptchaFields(const std::vector<QueryField>& fields, int csid, const std::string& code)
{
    const std::size_t n = fields.size();
    Check(n >= 2 && fields[n - 2].name == "csid" && fields[n - 1].name == "ccode");
    Check(fields[n - 2].value == std::to_string(csid));
    std::string decoded;
    Check(fuzz::PercentDecode(fields[n - 1].value, &decoded) && decoded == code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int csid = 0;
    const std::size_t taken = size < sizeof(csid) ? size : sizeof(csid);
    memcpy(&csid, data, taken);
    const std::string code(reinterpret_cast<const char*>(data) + taken, size - taken);

    const std::string query = CaptchaQuery(csid, code);
    const std::string head = "&csid=" + std::to_string(csid) + "&ccode=";
    Check(query.compare(0, head.size(), head) == 0);
    for (std::size_t i = head.size(); i < query.size(); ++i)
        Check(std::strchr("\r\n &=+#?", query[i]) == nullptr && query[i] != '\0');

    char login[LOGIN_REQUEST_SIZE];
    if (ComposeLoginRequest(login, 2, "demo@socialnet.example", "demo123", LOGIN_HOST, query)) {
        const std::vector<QueryField> fields = CheckRequest(login, "HEAD");
        Check(FieldNames(fields) == "login,site,email,pass,csid,ccode");
        CheckCaptchaFields(fields, csid, code);
    } else {
        Check(login[0] == '\0');
    }

    MessageJob message;
    message.text = "%cf%f0%e8%e2%e5%f2";
    message.recipientId = 2001;
    message.act = ACT_ADD_MESSAGE;
    message.serial = 0;
    message.captcha = query;
    char send[DATA_REQUEST_SIZE];
    if (ComposeMessageRequest(message, "74e7bc7139a36121b7d2f6bedaa90f7a", send, sizeof(send))
        == DataRequestComposed) {
        const std::vector<QueryField> fields = CheckRequest(send, "GET");
        Check(FieldNames(fields) == "act,id,ts,message,sid,csid,ccode");
        CheckCaptchaFields(fields, csid, code);
    } else {
        Check(send[0] == '\0');
    }

    char pictureRequest[REQUEST_BUFFER_SIZE];
    Check(ComposeCaptchaRequest(pictureRequest, csid, DATA_API_HOST));
    const std::vector<QueryField> fields = CheckRequest(pictureRequest, "GET");
    Check(FieldNames(fields) == "act,csid" && fields[1].value == std::to_string(csid));

    unsigned seed = (unsigned)csid;
    Check(NextCaptchaId(&seed) > 0);

    const bool picture = code.size() > 13 && code.size() <= CAPTCHA_PICTURE_MAX
        && (code.compare(0, 6, "GIF87a") == 0 || code.compare(0, 6, "GIF89a") == 0
            || code.compare(0, 3, "\xff\xd8\xff") == 0);
    Check(IsCaptchaPicture(code) == picture);
    return 0;
}
