* Vinte CHAMA sem RETORNA passam; a vigésima primeira falha.
seja $n 0
chama @desce
escreve "nunca"
termina
@desce
soma $n 1
se $n = 20 escreve "vinte chamadas pendentes"
chama @desce
escreve "nunca"
