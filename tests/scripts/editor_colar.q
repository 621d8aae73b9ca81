* Colar traz o texto do clipboard só até a primeira quebra de linha.
seja $enter crlf
seja t "um"
concatena t $enter
concatena t "dois"
transfere de t
escreve "Cole: " &
le v
escreve "[" v "]"
