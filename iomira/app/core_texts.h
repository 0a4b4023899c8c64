#pragma once

// String-table ids of the texts the records, the store, the log and the schedules show.
namespace iomira {

enum CoreText {
    TEXT_GROUP = 151,
    TEXT_TEMPERATURE = 443,
    TEXT_INSUFFICIENT_MEMORY = 5000,
    TEXT_DEVICE_ID_DUPLICATED = 5001,
    TEXT_UNKNOWN_ERROR = 5002,
    TEXT_AM = 5374,
    TEXT_PM = 5375,
    TEXT_EVERY_DAY = 5380,
    TEXT_WEEKENDS = 5381,
    TEXT_WEEKDAYS = 5382,
    TEXT_MON = 5383,
    TEXT_TUE = 5384,
    TEXT_WED = 5385,
    TEXT_THU = 5386,
    TEXT_FRI = 5387,
    TEXT_SAT = 5388,
    TEXT_SUN = 5389,
    TEXT_GROUP_IDS_EXHAUSTED = 6000,
    TEXT_STORE_UNUSABLE = 6001, // "%s" file, "%s" reason
    TEXT_STORE_NOT_DATABASE = 6002,
    TEXT_STORE_DAMAGED = 6003,
    TEXT_STORE_NO_PERMISSION = 6004,
    TEXT_STORE_FOREIGN = 6005,
    TEXT_STORE_IS_FOLDER = 6006,
    TEXT_STORE_UNREADABLE = 6007, // "%s" file, "%s" reason
};

} // namespace iomira
