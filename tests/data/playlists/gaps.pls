[playlist]
Title3=Third - Song
File3=/nonexistent/third.mp3
Length3=30
file1=/nonexistent/first.mp3
NumberOfEntries=3
Title2=No File Here
File10=http://radio.example/stream
Title10=Radio Ten
Length10=-1
Length1=75
[other]
File4=/nonexistent/not-in-playlist-section.mp3
