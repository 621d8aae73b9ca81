* Uma falha dentro da sub-rotina cita a linha da sub-rotina, não a do CHAMA.
escreve "principal"
chama @sub
escreve "nunca"
termina
@sub
escreve "na sub"
seja $n 5
divide $n 0
retorna
