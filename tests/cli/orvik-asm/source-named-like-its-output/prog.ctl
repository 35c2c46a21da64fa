goto 0
