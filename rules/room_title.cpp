#include "rules/room_title.h"

namespace hw {

std::string RoomTitle(const RoomRecord& room) {
  return "Quenrith 게임룸...점당 <" + room.StakeText + ">원방  보너스피(" +
         std::to_string(room.ServiceCards) + ")장";
}

}  // namespace hw
