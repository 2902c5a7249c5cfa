# Chorvanta Song Editor settings: the last song opened
RecentSong      ""
