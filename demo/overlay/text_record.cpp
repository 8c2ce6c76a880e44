// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/overlay/text_record.h"

namespace velor::demo {

std::array<TextRecord, kTextRecordCount> gTextRecords;
std::array<std::shared_ptr<Texture>, kTextureTableSize> gTextureTable;

TextRecord::~TextRecord() { ReleaseTextRecord(*this); }

void DrawRecordText(TextRecord&, int, int, const char*) {}
void DrawRecordSprite(TextRecord&, int, int, int, int, int) {}
void DrawRecordScreen(TextRecord&, const std::shared_ptr<Texture>&) {}
void ReleaseTextRecord(TextRecord&) {}

}  // namespace velor::demo
